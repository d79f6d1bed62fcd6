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

// The info header's fields, as read; nothing checked yet but its size.
struct InfoHeader {
    std::uint32_t size = 0;
    bool os2v1 = false;
    bool os2v2 = false;
    const std::uint8_t* bytes = nullptr;
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: stored top-down
    unsigned planes = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
};

// Where the bit-field masks are, when there are any.
struct Masks {
    bool present = false;
    int afterHeader = 0; // masks stored after a 40-byte header
};

InfoHeader readInfoHeader(std::span<const std::uint8_t> head, std::int64_t fileSize, Layout& l)
{
    if (fileSize == 0)
        FailRead("file is empty");
    if (head.size() >= 1 && head[0] != 'B')
        FailRead("not a BMP file");
    if (head.size() >= 2 && head[1] != 'M')
        FailRead("not a BMP file");
    if (head.size() < kFileHeaderSize + 4)
        FailRead("truncated header");

    InfoHeader h;
    h.size = le32(&head[14]);
    h.os2v1 = h.size == 12;
    h.os2v2 = isOs2v2InfoSize(h.size);
    if (!h.os2v1 && !h.os2v2 && !isWindowsInfoSize(h.size))
        FailRead("not a BMP file (unknown info header size " + std::to_string(h.size) + ")");
    if (std::int64_t(head.size()) < kFileHeaderSize + std::int64_t{h.size})
        FailRead("truncated header");

    h.bytes = &head[kFileHeaderSize];
    const std::uint8_t* info = h.bytes;
    if (h.os2v1) {
        h.width = le16(info + 4);
        h.height = le16(info + 6);
        h.planes = le16(info + 8);
        l.bitsPerPixel = le16(info + 10);
        l.paletteEntrySize = 3;
    } else {
        // Fields of an OS/2 2.x header that is cut short read as 0.
        const auto field32 = [&](std::uint32_t at) { return at + 4 <= h.size ? le32(info + at) : 0u; };
        h.width = std::int32_t(le32(info + 4));
        h.height = std::int32_t(le32(info + 8));
        h.planes = le16(info + 12);
        l.bitsPerPixel = le16(info + 14);
        h.compression = field32(16);
        h.coloursUsed = field32(32);
    }
    return h;
}

void checkDimensions(const InfoHeader& h, Layout& l)
{
    if (h.width <= 0 || h.height == 0)
        FailRead("bad dimensions (" + std::to_string(h.width) + " x " + std::to_string(h.height) + ")");
    l.topDown = h.height < 0;
    const std::int64_t height = h.height < 0 ? -h.height : h.height;
    if (h.width * height > kMaxPixels)
        FailRead("dimensions too large (" + std::to_string(h.width) + " x " + std::to_string(height) + ")");
    l.width = int(h.width);
    l.height = int(height);
}

Masks checkDepthAndCompression(const InfoHeader& h, Layout& l)
{
    const std::uint32_t compression = h.compression;
    // Embedded JPEG and PNG streams (meant for printers) carry their own
    // depth, usually given as 0: name the real reason first.
    if (compression == 5 || (compression == 4 && !(h.os2v2 && l.bitsPerPixel == 24)))
        FailRead(compression == 5 ? "unsupported compression (embedded PNG)"
                                  : "unsupported compression (embedded JPEG)");
    if (h.planes != 1)
        FailRead("unsupported bit depth (" + std::to_string(h.planes) + " planes)");
    const int bpp = l.bitsPerPixel;
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        FailRead("unsupported bit depth (" + std::to_string(bpp) + ")");

    Masks masks;
    switch (compression) {
    case 0: break;
    case 1:
    case 2: {
        const int needed = compression == 1 ? 8 : 4;
        if (bpp != needed)
            FailRead("unsupported compression (RLE" + std::to_string(needed) + " with " + depthText(bpp) + ")");
        l.encoding = compression == 1 ? Encoding::Rle8 : Encoding::Rle4;
        break;
    }
    case 3:
    case 6:
        if (h.os2v2)
            FailRead("unsupported compression (OS/2 Huffman)");
        if (bpp != 16 && bpp != 32)
            FailRead("unsupported compression (bit fields with " + depthText(bpp) + ")");
        masks.present = true;
        if (h.size == 40)
            masks.afterHeader = compression == 3 ? 3 : 4;
        break;
    case 4: // OS/2 RLE24 (the embedded streams are refused above)
        l.encoding = Encoding::Rle24;
        break;
    default: FailRead("unsupported compression (" + std::to_string(compression) + ")");
    }
    if (l.isRle() && l.topDown)
        FailRead("unsupported compression (RLE stored top-down)");
    return masks;
}

// The colour fields of a 16- or 32-bit picture: the bit fields when the
// file has them, else 5-5-5 or 8-8-8.
void readChannels(const InfoHeader& h, const Masks& stored, Layout& l)
{
    const int bpp = l.bitsPerPixel;
    if (bpp != 16 && bpp != 32)
        return;
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F}; // red, green, blue
    if (bpp == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }
    if (stored.present) {
        const std::uint8_t* at = stored.afterHeader ? h.bytes + h.size : h.bytes + 40;
        for (int i = 0; i < 3; ++i)
            masks[i] = le32(at + 4 * i);
    }
    const std::uint64_t pixelRange = bpp == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    for (const std::uint32_t mask : masks) {
        if (mask > pixelRange || !Channel::fromMask(mask).contiguous())
            FailRead("unsupported compression (bit-field mask " + hex(mask) + ")");
    }
    if ((masks[0] | masks[1] | masks[2]) == 0)
        FailRead("unsupported compression (all bit-field masks are 0)");
    l.channels = {Channel::fromMask(masks[2]), Channel::fromMask(masks[1]), Channel::fromMask(masks[0])};
}

// The pixel data must start after the headers and inside the file; the
// palette sits between the two. A palette on a 16-, 24- or 32-bit picture is
// never used.
void placePaletteAndPixels(std::span<const std::uint8_t> head, std::int64_t fileSize, std::int64_t headersEnd,
                           std::uint32_t coloursUsed, Layout& l)
{
    l.pixelOffset = le32(&head[10]);
    if (l.pixelOffset < headersEnd)
        FailRead("not a BMP file (pixel data offset " + std::to_string(l.pixelOffset) + " points into the headers)");
    if (l.pixelOffset >= fileSize)
        FailRead("pixel data outside the file (offset " + std::to_string(l.pixelOffset) + ", file size "
                 + std::to_string(fileSize) + ")");

    l.paletteOffset = headersEnd;
    const int bpp = l.bitsPerPixel;
    if (bpp > 8)
        return;
    const std::uint64_t full = 1u << bpp;
    const std::uint64_t declared = coloursUsed ? coloursUsed : full;
    const std::uint64_t room = std::uint64_t(l.pixelOffset - headersEnd) / l.paletteEntrySize;
    if (declared > full && declared > room)
        FailRead("bad palette (" + std::to_string(declared) + " colours for " + depthText(bpp) + ")");
    // Writers of short palettes are trusted as far as the pixel offset
    // allows; indices past the palette's end come out black.
    l.paletteEntries = int(std::min({declared, full, room}));
    if (l.paletteEntries == 0)
        FailRead("bad palette (no colours before the pixel data)");
}

void sizePixelData(std::int64_t fileSize, Layout& l)
{
    const std::int64_t available = fileSize - l.pixelOffset;
    const std::int64_t width = l.width;
    const std::int64_t height = l.height;
    if (l.isRle()) {
        const std::int64_t pixels = width * height;
        if (pixels > std::max(kRleFreePixels, kRlePixelsPerByte * available))
            FailRead("dimensions too large (" + std::to_string(width) + " x " + std::to_string(height) + " from "
                     + std::to_string(available) + " bytes of RLE data)");
        const std::int64_t longest = longestRleStream(pixels, height);
        l.streamCapped = available > longest;
        l.pixelBytes = std::min(available, longest);
    } else {
        l.rowBytes = PixelLayout::paddedRowBytes(width, l.bitsPerPixel);
        l.pixelBytes = l.rowBytes * height;
        if (l.pixelBytes > available)
            FailRead("truncated pixel data (" + std::to_string(available) + " of " + std::to_string(l.pixelBytes)
                     + " bytes)");
    }
}

} // namespace

Layout parseLayout(std::span<const std::uint8_t> head, std::int64_t fileSize)
{
    Layout l;
    const InfoHeader info = readInfoHeader(head, fileSize, l);
    checkDimensions(info, l);
    const Masks masks = checkDepthAndCompression(info, l);

    const std::int64_t headersEnd = kFileHeaderSize + std::int64_t{info.size} + 4 * masks.afterHeader;
    if (std::int64_t(head.size()) < headersEnd)
        FailRead("truncated header");
    readChannels(info, masks, l);
    placePaletteAndPixels(head, fileSize, headersEnd, info.coloursUsed, l);
    sizePixelData(fileSize, l);
    return l;
}

} // namespace bmp
