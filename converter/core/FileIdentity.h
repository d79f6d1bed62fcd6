#pragma once

#include <cstdint>

// Which file was read, taken from the open handle: a file renamed over the
// name is another file (another inode, or file index on Windows), one
// rewritten in place has another size or modification time. On Windows the
// device is the volume's serial number and the time has 100 ns steps.
//
// The two rules below are the only comparisons of identities.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;

    // The very same file: every field agrees. The rule wherever something is
    // done to a file because it is the one that was read: the check that it
    // did not change while it was read, and the retire step before it is
    // deleted. A file of another device (or volume) is another file.
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
