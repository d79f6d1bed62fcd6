#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>

// Our own reader of Windows bitmap files. It writes straight into the
// 24-bit, blue-green-red, bottom-up, 4-byte-padded layout of cDIBSection.

// Raised for every file that cannot be decoded. what() names the file and
// the reason, e.g. "shot.bmp: truncated pixel data".
class BmpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Receives the picture's size once the whole header has been checked and
// returns the destination: height rows of ((width * 3 + 3) & ~3) bytes,
// bottom row first. May throw (the error passes to the decoder's caller).
using BmpAllocator = std::function<std::uint8_t*(int width, int height)>;

// Largest picture accepted: far above any screen, far below what would
// exhaust memory (about 200 MB of pixels).
inline constexpr std::int64_t kMaxBmpPixels = std::int64_t{1} << 26;

// Decodes a file. Throws BmpError (or what the allocator throws).
void DecodeBmpFile(const QString& path, const BmpAllocator& allocate);

// Decodes bytes already in memory; name is used in error messages only.
void DecodeBmp(std::span<const std::uint8_t> bytes, const QString& name,
               const BmpAllocator& allocate);
