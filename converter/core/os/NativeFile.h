#pragma once

#include "core/FileIdentity.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <utility>

// The file-system calls whose spelling differs between Linux and Windows,
// and nothing else: the rules built on them (never replacing a file, never
// taking one still being written, deleting only the file that was read)
// live once, in SafeFile, SourceFile and Retire. NativeFilePosix.cpp and
// NativeFileWindows.cpp are the two spellings; each function behaves the
// same on both, as its comment says.
//
// Paths are QStrings. On Linux they go to the kernel as the bytes NativeName
// keeps; on Windows as UTF-16, so a name outside the 8-bit code page works.
namespace NativeFile {

enum class Error {
    None,
    NotFound,   // no entry with that name (or a missing directory on its way)
    NameTaken,  // the target name is taken and nothing was replaced
    InUse,      // another program holds the file in a way that refuses us
    NotTheFile, // moveHeld: the name named another file than the one held
    Other,
};

struct Status {
    Error error = Error::None;
    int code = 0; // errno, or GetLastError() on Windows
    explicit operator bool() const { return error == Error::None; }
    QString message() const; // the system's own wording
};

// A C runtime file descriptor (on Windows one that wraps a HANDLE, which it
// owns), so that QFile can adopt it. Closed on every way out.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(Descriptor&& other) noexcept : m_fd(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        if (this != &other) {
            close();
            m_fd = other.release();
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    // Closes now; a failed close can mean lost data, so it is reported.
    // Nothing else has the file open through us: this is the last close.
    Status close();

private:
    int m_fd = -1;
};

// Opens an existing file for reading, following links. On Windows no writer
// may open the file while we hold it, a writer that holds it makes this fail
// with InUse, and the descriptor may also move and delete the file
// (moveHeld, removeHeld) where the file system allows it.
Descriptor openForReading(const QString& path, Status& status);

// Creates a new private file for writing (hidden on Windows); NameTaken when
// any entry has the name.
Descriptor createPrivate(const QString& path, Status& status);

// Every byte, or why not (a full disk, a quota, a size limit).
Status writeAll(int fd, std::span<const std::uint8_t> bytes);

// Forces the file's data onto the disk, through the descriptor that wrote
// it: on a network folder a write-behind failure shows here.
Status sync(int fd);

// Forces the entry that names the open file onto the disk, after a rename:
// Linux flushes the directory that holds `path` (a file system that cannot
// counts as flushed); Windows flushes the file through its handle, which
// writes its name with it, where the handle may write (else the journal of
// the file system keeps the rename's order).
Status syncName(int fd, const QString& path);

bool isRegularFile(int fd);
FileIdentity identityOf(int fd);

// The identity of the file a path names now, following links.
std::optional<FileIdentity> identityOfPath(const QString& path);

// Whether a name is taken. Unknown when the folder cannot be asked (a
// network share that dropped away): such a name is neither free nor taken.
enum class Presence { Absent, Present, Unknown };
// Any entry, even a dangling link, takes the name.
Presence presenceOf(const QString& path);

enum class Writer { None, Writing, Unknown };

// Whether a program other than us holds the open file for writing. Linux
// asks the kernel with a read lease (taken and released at once; Unknown
// where leases are refused); the signal a writer's open sends meanwhile
// ends nothing. On Windows our own open shuts writers out, so
// while we hold the file nobody writes it.
Writer writerOf(int fd);

// A private file (a JPEG not yet named, a bitmap set aside to be deleted)
// is in use while its maker holds it, through a descriptor kept open for as
// long as the file has its private name; the hold dies with its holder, so
// a converter recovering a folder after a crash knows for certain which
// files are a dead one's. Holds the open file; false when, once it is held,
// the name no longer names it (a recovering converter took it first, for a
// dead one's). Linux: a shared flock; Windows: the open handle itself.
bool holdAsPrivate(int fd, const QString& name);

// For recovery: opens a private file (a regular file, or a link to one)
// that nobody holds as private, holding it exclusively until the descriptor
// is closed. InUse while a live converter holds it. Linux: an exclusive
// flock, not waited for; Windows: a handle that shares nothing but deleting.
Descriptor openIfOrphaned(const QString& path, Status& status);

// Moves the entry `from`, which `fd` was opened through, to `to` unless any
// entry has that name (NameTaken), even against a writer racing for it.
// Windows moves the very file held, through its handle, whatever its name
// has become since; Linux moves the name (and Wine the name the handle was
// opened by), and NotTheFile says that it named another file than the one
// held, which is left under `to` for the caller.
// A link is moved itself, never the file it points to.
Status moveHeld(int fd, const QString& from, const QString& to);
// Deletes the entry `path`, which `fd` was opened through or moved to
// (Windows: the very file held, through its handle; Linux: the name).
Status removeHeld(int fd, const QString& path);
// Hides a private file from a file manager and cloud-sync clients, or shows
// it once it is named (Windows' hidden attribute; Linux: the leading dot).
Status setHidden(int fd, bool hidden);

// What a replaced file hands on to its successor: permissions and times.
struct Kept {
    std::uint32_t mode = 0;
    std::int64_t times[3] = {}; // created (Windows only), accessed, modified
};
std::optional<Kept> keptOf(const QString& path); // a regular file's; else none
Status applyKept(int fd, const Kept& kept);

// Moves `from` to `to` in one step unless any entry has the name `to`, even
// against a writer racing for it (NameTaken).
Status moveNoReplace(const QString& from, const QString& to);
// Moves `from` to `to`, replacing a file there in one step.
Status replace(const QString& from, const QString& to);
Status remove(const QString& path);

// On Windows a call that meets what Windows answers in passing (a sharing
// violation while a virus scanner or the search indexer holds a new file, a
// delete still pending, a network share that blinked) is tried again after
// a growing pause, about 1.4 s in all, before it fails. Tests replace the
// pause to act at a known moment, the window to keep handling its events
// while it waits; an empty function puts the real one back. Linux never
// waits.
void setRetryPause(std::function<void(int attempt)> pause);

// Whether the path names a directory (links followed).
bool isDirectory(const QString& path);

// Makes a directory (its parent must exist).
Status makeDirectory(const QString& path);

// The names of a directory's regular files (links followed), in no order.
QStringList regularFiles(const QString& directory);

} // namespace NativeFile
