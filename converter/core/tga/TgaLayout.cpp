#include "TgaLayout.h"

#include <algorithm>

namespace tga {

namespace {

std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

// The fields of the 18-byte header, by offset.
enum Field : std::size_t {
    IdLength = 0,
    MapType = 1,
    ImageType = 2,
    MapFirst = 3,
    MapLength = 5,
    MapEntryBits = 7,
    Width = 12,
    Height = 14,
    PixelBits = 16,
    Descriptor = 17,
};

// Every type the format defines, supported or not. There is no signature:
// a file whose colour-map type or image type is none of these (a bitmap's
// "BM", a PNG's or a JPEG's first bytes) is some other kind of file.
bool isKnownImageType(int type)
{
    return type == 0 || type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11 || type == 32
           || type == 33;
}

std::string sizeText(std::int64_t width, std::int64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

void checkImageType(std::span<const std::uint8_t> head, Layout& l)
{
    const int type = head[ImageType];
    switch (type & 7) {
    case 1: l.kind = Kind::Mapped; break;
    case 2: l.kind = Kind::TrueColour; break;
    case 3: l.kind = Kind::Grey; break;
    default:
        FailRead(type == 0 ? "unsupported image type (0: no image data)"
                           : "unsupported image type (" + std::to_string(type) + ": Huffman-coded)");
    }
    l.rle = type & 8;
    // Interleaved rows (bits 6 and 7) went out with the hardware that
    // displayed them; reading them as plain rows would scramble the picture.
    if (head[Descriptor] & 0xC0)
        FailRead("unsupported image type (interleaved rows)");
    l.rightToLeft = head[Descriptor] & 0x10;
    l.topDown = head[Descriptor] & 0x20;
}

void checkDepth(std::span<const std::uint8_t> head, Layout& l)
{
    const int bits = head[PixelBits];
    const bool supported = l.kind == Kind::TrueColour ? bits == 24 || bits == 32 : bits == 8;
    if (!supported) {
        static const char* const kinds[] = {"true colour", "greyscale", "colour-mapped"};
        FailRead("unsupported bit depth (" + std::to_string(bits) + " bits per pixel, " + kinds[int(l.kind)] + ")");
    }
    l.bytesPerPixel = bits / 8;
}

// The colour map sits between the image ID and the pixels. A map in a
// picture that does not use one is only skipped; a used one must hold
// 24- or 32-bit entries of which at least one an 8-bit index can reach.
// Entries past index 255 are never looked up and are not read.
void placeColourMap(std::span<const std::uint8_t> head, Layout& l)
{
    const bool present = head[MapType] == 1;
    const int first = le16(&head[MapFirst]);
    const int length = present ? le16(&head[MapLength]) : 0;
    const int entryBits = head[MapEntryBits];
    l.mapOffset = kHeaderSize + std::int64_t{head[IdLength]};
    l.pixelOffset = l.mapOffset + std::int64_t{length} * ((entryBits + 7) / 8);
    if (l.kind != Kind::Mapped)
        return;

    if (!present)
        FailRead("bad colour map (none in a colour-mapped picture)");
    if (length == 0)
        FailRead("bad colour map (no entries)");
    if (entryBits == 15 || entryBits == 16)
        FailRead("unsupported bit depth (" + std::to_string(entryBits) + "-bit colour map entries)");
    if (entryBits != 24 && entryBits != 32)
        FailRead("bad colour map (" + std::to_string(entryBits) + "-bit entries)");
    if (first > 255)
        FailRead("bad colour map (first entry stands for index " + std::to_string(first) + ", past the 8-bit indices)");
    l.mapFirst = first;
    l.mapEntries = std::min(length, 256 - first);
    l.mapEntryBytes = entryBits / 8;
}

void sizePixelData(std::int64_t fileSize, Layout& l)
{
    if (l.pixelOffset > fileSize)
        FailRead("truncated header (image ID and colour map end at byte " + std::to_string(l.pixelOffset)
                 + ", file size " + std::to_string(fileSize) + ")");
    const std::int64_t available = fileSize - l.pixelOffset;
    const std::int64_t bpp = l.bytesPerPixel;
    if (!l.rle) {
        l.pixelBytes = l.pixels() * bpp;
        if (l.pixelBytes > available)
            FailRead("truncated pixel data (" + std::to_string(available) + " of " + std::to_string(l.pixelBytes)
                     + " bytes)");
        return;
    }
    // A packet holds at most 128 pixels in at least 1 + bpp bytes, and at
    // least one pixel in at most 1 + bpp bytes: a stream shorter than the
    // first bound cannot fill the picture, and one never needs more than
    // the second.
    const std::int64_t shortest = (l.pixels() + 127) / 128 * (1 + bpp);
    if (available < shortest)
        FailRead("truncated pixel data (" + std::to_string(available) + " bytes of RLE data for "
                 + sizeText(l.width, l.height) + " pixels)");
    l.pixelBytes = std::min(available, l.pixels() * (1 + bpp));
}

// The header's own fields, as far as they say what the file is. Throws
// Failure for a file that is not a TGA file.
PixelLayout parseSize(std::span<const std::uint8_t> head, std::int64_t fileSize)
{
    if (fileSize == 0)
        FailRead("file is empty");
    if (head.size() > MapType && head[MapType] > 1)
        FailRead("not a TGA file (colour map type " + std::to_string(head[MapType]) + ")");
    if (head.size() > ImageType && !isKnownImageType(head[ImageType]))
        FailRead("not a TGA file (image type " + std::to_string(head[ImageType]) + ")");
    if (head.size() < kHeaderSize)
        FailRead("truncated header");
    const PixelLayout size{le16(&head[Width]), le16(&head[Height])};
    if (size.width == 0 || size.height == 0)
        FailRead("bad dimensions (" + sizeText(size.width, size.height) + ")");
    return size;
}

} // namespace

Layout parseLayout(std::span<const std::uint8_t> head, std::int64_t fileSize)
{
    const PixelLayout size = parseSize(head, fileSize);
    Layout l;
    checkImageType(head, l);
    l.width = size.width;
    l.height = size.height;
    if (l.pixels() > kMaxPixels)
        FailRead("dimensions too large (" + sizeText(l.width, l.height) + ")");
    checkDepth(head, l);
    placeColourMap(head, l);
    sizePixelData(fileSize, l);
    return l;
}

} // namespace tga
