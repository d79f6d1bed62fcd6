#pragma once

#include <QFile>
#include <QString>
#include <cstdint>
#include <optional>

// Which file was read, taken from the open descriptor: a file renamed over
// the name has another inode, one rewritten in place another size or
// modification time. The two rules below are the only comparisons of
// identities.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;

    // The very same file: every field agrees. The rule wherever something is
    // done to a file because it is the one that was read: the check that it
    // did not change while it was read, and the retire step before it is
    // deleted. A file of another device is another file.
    bool isSameFile(const FileIdentity& other) const { return device == other.device && isSameSeenAgain(other); }

    // Every field but the device: the rule for remembering which files were
    // converted already (the watch), over days in which the folder may be
    // mounted again under another device number. Taking such a file for a
    // new one would convert it twice; a file changed since differs in size
    // or time, so it is never taken for one that was converted.
    bool isSameSeenAgain(const FileIdentity& other) const
    {
        return inode == other.inode && size == other.size && modifiedNs == other.modifiedNs;
    }
};

// A screenshot opened for conversion. The file is never taken while another
// program still writes it: on Linux a read lease is refused while anyone
// holds the file open for writing; where leases are not allowed (not the
// file's owner, a file system without them) the file must keep its size and
// time over a short interval instead.
//
// Throws ReadError: "file not found", "cannot read file (<why>)", and
// StillBeingWritten.
class SourceFile {
public:
    explicit SourceFile(const QString& path);

    // Open for reading; decoders read from it.
    QFile& file() { return m_file; }
    const FileIdentity& identity() const { return m_identity; }

    // After the pixels are read: throws StillBeingWritten when the file was
    // written to since it was opened, or is open for writing now, so that
    // no torn picture is encoded.
    void checkUnchanged() const;

private:
    QFile m_file;
    FileIdentity m_identity;
};

// The identity of the file a path names now, following links; nothing when
// there is none.
std::optional<FileIdentity> identityOfFile(const QString& path);

// How the converter knows whether a file is still being written.
namespace WriterProbe {

enum class State { Closed, Writing, Unknown };

// Asks the kernel with a read lease, taken and released at once. Unknown
// where leases are not allowed.
State probe(int fd);

// The identity of an open file.
FileIdentity identityOf(int fd);

} // namespace WriterProbe
