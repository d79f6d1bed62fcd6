#pragma once

#include "core/os/NativeFile.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <span>

// Writing a file so that a reader, a crash or a second writer never sees
// half of it, and never loses what was there before.
//
// The bytes go to a private temporary name in the target's directory (see
// PrivateName) and only then take the target's name. On any failure the
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
    // file did not allow. The file is flushed before, so that a crash
    // cannot leave an empty file where a whole one was.
    Replace,
};

enum class Outcome { Written, NameTaken, Failed };

struct Result {
    Outcome outcome = Outcome::Failed;
    QString error; // why it failed, for messages; empty when written
    // Written durably: the bytes were flushed through the descriptor that
    // wrote them before they were named, and the name after it.
    bool durable = false;
};

// Called once the bytes wait under their temporary name, just before they
// take the target's name; `flushed` says whether they reached the disk.
// What a caller must do before the name exists (set a bitmap aside) is done
// here. May throw: nothing is named then.
using BeforeNaming = std::function<void(std::span<const std::uint8_t> bytes, bool flushed)>;

// With beforeNaming, the file is written durably (see Result::durable).
Result write(const QString& target, std::span<const std::uint8_t> bytes, Publish mode,
             const BeforeNaming& beforeNaming = {});

enum class Durability { Later, Now };

// write(..., NoReplace) in two halves, for a program that writes files on
// several threads but names them on one, in order: prepare() puts the bytes
// under a temporary name, publish() gives them their name.
class Prepared {
public:
    Prepared() = default;
    Prepared(Prepared&& other) noexcept = default;
    Prepared& operator=(Prepared&& other) noexcept;
    ~Prepared(); // removes the temporary file unless it was published

    // Whether a temporary file waits; else error() says why prepare() failed.
    explicit operator bool() const { return bool(m_file); }
    const QString& error() const { return m_error; }
    // Durability::Now, and the bytes reached the disk.
    bool flushed() const { return m_flushed; }

    // Gives the file the target's name, in the directory it was prepared
    // in, unless any entry has that name. Written: the object is empty from
    // then on. NameTaken or Failed: it keeps the file for another name.
    Result publish(const QString& target);

private:
    friend Prepared prepare(const QString&, std::span<const std::uint8_t>, Durability);
    QString m_temporary;
    QString m_error;
    // The one descriptor of the file: it wrote the bytes, holds the file as
    // private until it is named, names it, and its close is the last.
    NativeFile::Descriptor m_file;
    bool m_flushed = false;
};

// Writes the bytes to a new temporary file in the directory; with
// Durability::Now, flushes them to the disk too.
Prepared prepare(const QString& directory, std::span<const std::uint8_t> bytes,
                 Durability durability = Durability::Later);

} // namespace SafeFile
