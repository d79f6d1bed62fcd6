#pragma once

#include <cstdint>

// Which file was read, taken from the open handle: a file renamed over the
// name is another file (another inode, or file index on Windows), one
// rewritten in place has another size or modification time. On Windows the
// device is the volume's serial number and the time has 100 ns steps.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};
