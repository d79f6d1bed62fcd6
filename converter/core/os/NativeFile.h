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
    NotFound,  // no entry with that name (or a missing directory on its way)
    NameTaken, // the target name is taken and nothing was replaced
    InUse,     // another program holds the file in a way that refuses us
    Other,
};

struct Status {
    Error error = Error::None;
    int code = 0; // errno, or GetLastError() on Windows
    explicit operator bool() const { return error == Error::None; }
    QString message() const; // the system's own wording
};

// A C runtime file descriptor (on Windows one that wraps a HANDLE), so that
// QFile can adopt it. Closed on every way out.
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
    Status close();

private:
    int m_fd = -1;
};

enum class Links { Follow, DoNotFollow };

// Opens an existing file for reading. On Windows no writer may open the file
// while we hold it, and a writer that holds it makes this fail with InUse.
Descriptor openForReading(const QString& path, Status& status, Links links = Links::Follow);

// Creates a new file for writing; NameTaken when any entry has the name.
Descriptor createNew(const QString& path, Status& status);

// Every byte, or why not (a full disk, a quota, a size limit).
Status writeAll(int fd, std::span<const std::uint8_t> bytes);

// Forces the file's data onto the disk.
Status sync(int fd);

bool isRegularFile(int fd);
FileIdentity identityOf(int fd);

// The identity of the file a path names now, following links.
std::optional<FileIdentity> identityOfPath(const QString& path);

// Whether any entry, even a dangling link, has the name.
bool entryExists(const QString& path);

enum class Writer { None, Writing, Unknown };

// Whether a program other than us holds the open file for writing. Linux
// asks the kernel with a read lease (taken and released at once; Unknown
// where leases are refused). On Windows our own open shuts writers out, so
// while we hold the file nobody writes it.
Writer writerOf(int fd);

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

// Forces a file's data, and the directory entry that names it, onto the
// disk. A directory whose file system cannot be flushed counts as flushed.
Status flushToDisk(const QString& path);

// On Windows a delete, rename or open that meets a sharing violation (a virus
// scanner or the search indexer holds a new file for a moment) is tried
// again after a growing pause, a few times, before it fails with InUse.
// Tests replace the pause to act at a known moment; an empty function puts
// the real one back. Linux never waits.
void setRetryPause(std::function<void(int attempt)> pause);

// Makes a directory (its parent must exist).
Status makeDirectory(const QString& path);

// The names of a directory's regular files (links followed), in no order.
QStringList regularFiles(const QString& directory);

} // namespace NativeFile
