#pragma once

#include <cstdint>

// Which file was read, taken from the open handle: a file renamed over the
// name is another file (another inode, or file ID on Windows), one
// rewritten in place has another size or modification time. On Windows the
// device is the volume's serial number and the file ID has 128 bits (ReFS
// needs them all). FAT and exFAT make the ID from the position of the
// directory entry, which a rename can move: no identity is ever compared
// across a rename of ours; the retire step keeps the file open instead.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t inodeHigh = 0; // Windows' 128-bit file IDs only
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // since 1970

    // The very same file: every field agrees. The rule for the check that a
    // file did not change while it was read. A file of another device (or
    // volume) is another file.
    bool isSameFile(const FileIdentity& other) const { return device == other.device && isSameSeenAgain(other); }

    // Every field but the device: the rule for remembering which files were
    // converted already (the watch), over days in which the folder may be
    // mounted again under another device number. Taking such a file for a
    // new one would convert it twice; a file changed since differs in size
    // or time, so it is never taken for one that was converted.
    bool isSameSeenAgain(const FileIdentity& other) const
    {
        return inode == other.inode && inodeHigh == other.inodeHigh && hasSameContent(other);
    }

    // What is left to compare for a file held open since it was read, whose
    // name (and on FAT its file ID) may have changed meanwhile.
    bool hasSameContent(const FileIdentity& other) const
    {
        return size == other.size && modifiedNs == other.modifiedNs;
    }
};
