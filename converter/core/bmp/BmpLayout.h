#pragma once

// Reading and checking the headers of a bitmap file. Internal to the BMP
// decoder: everything here runs before any pixel memory is asked for.

#include "core/bmp/BmpDecoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace bmp {

inline std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline std::string hex(std::uint32_t v)
{
    static const char digits[] = "0123456789abcdef";
    std::string s = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        s += digits[(v >> shift) & 0xF];
    return s;
}

enum class Encoding { Plain, Rle4, Rle8, Rle24 };

// One colour field of a 16- or 32-bit pixel, scaled to 0..255 with rounding
// (a 5-bit 31 becomes 255, not the 248 a plain shift would give).
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0; // the field's all-ones value; 0 for an absent field

    static Channel fromMask(std::uint32_t mask)
    {
        Channel c;
        c.mask = mask;
        if (mask == 0)
            return c;
        while (!((mask >> c.shift) & 1u))
            ++c.shift;
        c.max = mask >> c.shift;
        return c;
    }
    bool contiguous() const { return (std::uint64_t(max) & (std::uint64_t(max) + 1)) == 0; }
    std::uint8_t operator()(std::uint32_t pixel) const
    {
        if (max == 0)
            return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return std::uint8_t((v * 255 + max / 2) / max);
    }
};

// Everything the pixel decoders need, all checked against the real file size.
struct Layout {
    int width = 0;
    int height = 0; // number of rows, always positive
    bool topDown = false;
    int bitsPerPixel = 0;
    Encoding encoding = Encoding::Plain;
    std::array<Channel, 3> channels{}; // blue, green, red; 16- and 32-bit only
    std::int64_t paletteOffset = 0;
    int paletteEntries = 0;
    int paletteEntrySize = 4;
    std::int64_t pixelOffset = 0;
    std::int64_t rowBytes = 0;   // stored row size of an uncompressed picture
    std::int64_t pixelBytes = 0; // bytes the decoder reads from pixelOffset on
    bool streamCapped = false;   // RLE: the file holds more than pixelBytes

    PixelLayout picture() const { return {width, height}; }
    std::int64_t paletteBytes() const { return std::int64_t{paletteEntries} * paletteEntrySize; }
    bool isRle() const { return encoding != Encoding::Plain; }
};

inline constexpr int kFileHeaderSize = 14;
// File header, the largest info header, and four masks after a 40-byte one:
// the most the header check ever looks at.
inline constexpr std::size_t kLongestHeaders = kFileHeaderSize + 124 + 16;

// An RLE code pair defines at most 255 pixels in 2 bytes, so a stream of N
// bytes writes at most 128 * N pixels. A picture larger than that would be
// almost entirely undefined: such a header is refused before anything is
// allocated. Small pictures (up to 256 x 256) pass regardless, since their
// buffer costs nothing.
inline constexpr std::int64_t kRlePixelsPerByte = 128;
inline constexpr std::int64_t kRleFreePixels = std::int64_t{1} << 16;

// The longest stream any sensible encoder writes: 4 bytes per pixel (a
// one-pixel RLE24 run, or a one-pixel delta) and an end-of-line per row;
// doubled. Past that the decoder stops looking for the end-of-bitmap, so a
// huge file never has to be read into memory whole.
inline std::int64_t longestRleStream(std::int64_t pixels, std::int64_t rows)
{
    return 2 * (4 * pixels + 2 * rows + 2) + 4096;
}

// Checks the headers (the first bytes of the file, up to kLongestHeaders)
// against the real file size. Throws ReadFailure with the reason.
Layout parseLayout(std::span<const std::uint8_t> head, std::int64_t fileSize);

} // namespace bmp
