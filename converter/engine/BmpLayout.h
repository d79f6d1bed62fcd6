#pragma once

// Reading and checking the headers of a bitmap file. Internal to the BMP
// decoder: everything here runs before any pixel memory is asked for.

#include "BmpDecoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace bmp {

// The reason alone; the public entry points put the file name in front.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void fail(const std::string& reason) { throw Failure(reason); }

inline std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
        | std::uint32_t(p[3]) << 24;
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

    std::int64_t stride() const { return (std::int64_t{width} * 3 + 3) & ~std::int64_t{3}; }
    std::int64_t bufferBytes() const { return stride() * height; }
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

namespace detail {

inline bool isWindowsInfoSize(std::uint32_t size)
{
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// OS/2 2.x headers may be cut anywhere from 16 to 64 bytes; fields left
// out read as 0.
inline bool isOs2v2InfoSize(std::uint32_t size)
{
    return size >= 16 && size <= 64 && size % 4 == 0 && !isWindowsInfoSize(size);
}

inline std::string depthText(int bits) { return std::to_string(bits) + " bits per pixel"; }

} // namespace detail

// Checks the headers (the first bytes of the file, up to kLongestHeaders)
// against the real file size. Throws Failure with the reason.
inline Layout parseLayout(std::span<const std::uint8_t> head, std::int64_t fileSize)
{
    using namespace detail;
    if (fileSize == 0)
        fail("file is empty");
    if (head.size() >= 1 && head[0] != 'B')
        fail("not a BMP file");
    if (head.size() >= 2 && head[1] != 'M')
        fail("not a BMP file");
    if (head.size() < kFileHeaderSize + 4)
        fail("truncated header");

    const std::uint32_t infoSize = le32(&head[14]);
    const bool os2v1 = infoSize == 12;
    const bool os2v2 = isOs2v2InfoSize(infoSize);
    if (!os2v1 && !os2v2 && !isWindowsInfoSize(infoSize))
        fail("not a BMP file (unknown info header size " + std::to_string(infoSize) + ")");
    const std::int64_t infoEnd = kFileHeaderSize + std::int64_t{infoSize};
    if (std::int64_t(head.size()) < infoEnd)
        fail("truncated header");

    const std::uint8_t* info = &head[kFileHeaderSize];
    // Fields of an OS/2 2.x header that is cut short read as 0.
    const auto field32 = [&](std::uint32_t at) { return at + 4 <= infoSize ? le32(info + at) : 0u; };

    Layout l;
    std::int64_t width = 0;
    std::int64_t height = 0;
    unsigned planes = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    if (os2v1) {
        width = le16(info + 4);
        height = le16(info + 6);
        planes = le16(info + 8);
        l.bitsPerPixel = le16(info + 10);
        l.paletteEntrySize = 3;
    } else {
        width = std::int32_t(le32(info + 4));
        height = std::int32_t(le32(info + 8));
        planes = le16(info + 12);
        l.bitsPerPixel = le16(info + 14);
        compression = field32(16);
        coloursUsed = field32(32);
    }

    if (width <= 0 || height == 0)
        fail("bad dimensions (" + std::to_string(width) + " x " + std::to_string(height) + ")");
    l.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (width * height > kMaxBmpPixels)
        fail("dimensions too large (" + std::to_string(width) + " x " + std::to_string(height)
             + ")");
    l.width = int(width);
    l.height = int(height);

    // Embedded JPEG and PNG streams (meant for printers) carry their own
    // depth, usually given as 0: name the real reason first.
    if (compression == 5 || (compression == 4 && !(os2v2 && l.bitsPerPixel == 24)))
        fail(compression == 5 ? "unsupported compression (embedded PNG)"
                              : "unsupported compression (embedded JPEG)");
    if (planes != 1)
        fail("unsupported bit depth (" + std::to_string(planes) + " planes)");
    const int bpp = l.bitsPerPixel;
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        fail("unsupported bit depth (" + std::to_string(bpp) + ")");

    // Compression, and where the bit-field masks are when there are any.
    bool bitFields = false;
    int masksAfterHeader = 0;
    switch (compression) {
    case 0:
        break;
    case 1:
    case 2: {
        const int needed = compression == 1 ? 8 : 4;
        if (bpp != needed)
            fail("unsupported compression (RLE" + std::to_string(needed) + " with "
                 + depthText(bpp) + ")");
        l.encoding = compression == 1 ? Encoding::Rle8 : Encoding::Rle4;
        break;
    }
    case 3:
    case 6:
        if (os2v2)
            fail("unsupported compression (OS/2 Huffman)");
        if (bpp != 16 && bpp != 32)
            fail("unsupported compression (bit fields with " + depthText(bpp) + ")");
        bitFields = true;
        if (infoSize == 40)
            masksAfterHeader = compression == 3 ? 3 : 4;
        break;
    case 4: // OS/2 RLE24 (the embedded streams are refused above)
        l.encoding = Encoding::Rle24;
        break;
    default:
        fail("unsupported compression (" + std::to_string(compression) + ")");
    }
    if (l.isRle() && l.topDown)
        fail("unsupported compression (RLE stored top-down)");

    const std::int64_t headersEnd = infoEnd + 4 * masksAfterHeader;
    if (std::int64_t(head.size()) < headersEnd)
        fail("truncated header");

    if (bpp == 16 || bpp == 32) {
        std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F}; // red, green, blue
        if (bpp == 32) {
            masks[0] = 0xFF0000;
            masks[1] = 0xFF00;
            masks[2] = 0xFF;
        }
        if (bitFields) {
            const std::uint8_t* at = masksAfterHeader ? info + infoSize : info + 40;
            for (int i = 0; i < 3; ++i)
                masks[i] = le32(at + 4 * i);
        }
        const std::uint64_t pixelRange = bpp == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        for (const std::uint32_t mask : masks) {
            if (mask > pixelRange || !Channel::fromMask(mask).contiguous())
                fail("unsupported compression (bit-field mask " + hex(mask) + ")");
        }
        if ((masks[0] | masks[1] | masks[2]) == 0)
            fail("unsupported compression (all bit-field masks are 0)");
        l.channels = {Channel::fromMask(masks[2]), Channel::fromMask(masks[1]),
                      Channel::fromMask(masks[0])};
    }

    // The pixel data must start after the headers and inside the file.
    l.pixelOffset = le32(&head[10]);
    if (l.pixelOffset < headersEnd)
        fail("not a BMP file (pixel data offset " + std::to_string(l.pixelOffset)
             + " points into the headers)");
    if (l.pixelOffset >= fileSize)
        fail("pixel data outside the file (offset " + std::to_string(l.pixelOffset)
             + ", file size " + std::to_string(fileSize) + ")");

    // The palette sits between the headers and the pixels. A palette on a
    // 16-, 24- or 32-bit picture is never used.
    l.paletteOffset = headersEnd;
    if (bpp <= 8) {
        const std::uint64_t full = 1u << bpp;
        const std::uint64_t declared = coloursUsed ? coloursUsed : full;
        const std::uint64_t room = std::uint64_t(l.pixelOffset - headersEnd) / l.paletteEntrySize;
        if (declared > full && declared > room)
            fail("bad palette (" + std::to_string(declared) + " colours for "
                 + depthText(bpp) + ")");
        // Writers of short palettes are trusted as far as the pixel offset
        // allows; indices past the palette's end come out black.
        l.paletteEntries = int(std::min({declared, full, room}));
        if (l.paletteEntries == 0)
            fail("bad palette (no colours before the pixel data)");
    }

    const std::int64_t available = fileSize - l.pixelOffset;
    if (l.isRle()) {
        const std::int64_t pixels = width * height;
        if (pixels > std::max(kRleFreePixels, kRlePixelsPerByte * available))
            fail("dimensions too large (" + std::to_string(width) + " x "
                 + std::to_string(height) + " from " + std::to_string(available)
                 + " bytes of RLE data)");
        const std::int64_t longest = longestRleStream(pixels, height);
        l.streamCapped = available > longest;
        l.pixelBytes = std::min(available, longest);
    } else {
        l.rowBytes = (width * bpp + 31) / 32 * 4;
        l.pixelBytes = l.rowBytes * height;
        if (l.pixelBytes > available)
            fail("truncated pixel data (" + std::to_string(available) + " of "
                 + std::to_string(l.pixelBytes) + " bytes)");
    }
    return l;
}

} // namespace bmp
