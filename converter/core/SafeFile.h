#pragma once

#include <QString>
#include <cstdint>
#include <span>

// Writing a file so that a reader, a crash or a second writer never sees
// half of it, and never loses what was there before.
//
// The bytes go to a short temporary name in the target's directory
// (".fw-XXXXXX.tmp") and only then take the target's name; a file that
// replaces another is flushed to the disk before. On any failure the
// temporary file is removed and an existing target is untouched.
namespace SafeFile {

enum class Publish {
    // Never replaces anything: when any entry (a file, a directory, a link)
    // already has the name, nothing is published and the result is
    // NameTaken. Two writers racing for one name cannot both win.
    NoReplace,
    // Replaces an existing file. The new file takes over the old one's
    // permissions and times; they are applied to the temporary file before
    // it is published, so the content is never readable by anyone the old
    // file did not allow.
    Replace,
};

enum class Outcome { Written, NameTaken, Failed };

struct Result {
    Outcome outcome = Outcome::Failed;
    QString error; // why it failed, for messages; empty when written
};

Result write(const QString& target, std::span<const std::uint8_t> bytes, Publish mode);

// write(..., NoReplace) in two halves, for a program that writes files on
// several threads but names them on one, in order: prepare() puts the bytes
// under a temporary name, publish() gives them their name.
class Prepared {
public:
    Prepared() = default;
    Prepared(Prepared&& other) noexcept;
    Prepared& operator=(Prepared&& other) noexcept;
    ~Prepared(); // removes the temporary file unless it was published

    // Whether a temporary file waits; else error() says why prepare() failed.
    explicit operator bool() const { return !m_temporary.isEmpty(); }
    const QString& error() const { return m_error; }

    // Gives the file the target's name, in the directory it was prepared
    // in, unless any entry has that name. Written: the object is empty from
    // then on. NameTaken or Failed: it keeps the file for another name.
    Result publish(const QString& target);

private:
    friend Prepared prepare(const QString&, std::span<const std::uint8_t>);
    QString m_temporary;
    QString m_error;
};

// Writes the bytes to a new temporary file in the directory. Like write(),
// it leaves the flush to whoever needs the file on the disk.
Prepared prepare(const QString& directory, std::span<const std::uint8_t> bytes);

// Forces a file's data, and its directory entry, onto the disk. Used before
// an original is deleted, so that a power cut cannot lose both copies. A
// directory whose file system cannot be flushed that way counts as flushed.
bool flushToDisk(const QString& path);

// A new hidden name in the directory, ".fw-k3x9q2" and the suffix: short, so
// that a name that fits in its directory never fails for its private one,
// and hidden, so that neither the window's list, a watch nor the user's file
// manager takes it for a screenshot. Not created: the caller makes sure no
// entry has it.
QString privateName(const QString& directory, const QString& suffix);

} // namespace SafeFile
