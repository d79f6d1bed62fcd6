#include "BmpLayout.h"

namespace bmp {

namespace {

bool isWindowsInfoSize(std::uint32_t size)
{
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// OS/2 2.x headers may be cut anywhere from 16 to 64 bytes; fields left
// out read as 0.
bool isOs2v2InfoSize(std::uint32_t size)
{
    return size >= 16 && size <= 64 && size % 4 == 0 && !isWindowsInfoSize(size);
}

std::string depthText(int bits) { return std::to_string(bits) + " bits per pixel"; }

} // namespace

Layout parseLayout(std::span<const std::uint8_t> head, std::int64_t fileSize)
{
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
