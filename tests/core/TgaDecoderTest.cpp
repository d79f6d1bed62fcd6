// The TGA reader on files built here in every supported form and on a
// hostile set. The allocator's stale bytes show any byte left unwritten, its
// exact size any stray write (ASan). Files other programs write are the
// command line's end-to-end test.
#include "core/tga/TgaDecoder.h"
#include "ReaderTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>

using namespace readertest;
using u8 = std::uint8_t;

namespace {

struct Header {
    int idLength = 0, mapType = 0, type = 2, mapFirst = 0, mapLength = 0, mapBits = 0;
    int width = 5, height = 3, bits = 24, descriptor = 0;

    Bytes bytes() const
    {
        return Bytes{u8(idLength), u8(mapType), u8(type)} + le16(std::uint16_t(mapFirst))
               + le16(std::uint16_t(mapLength)) + Bytes{u8(mapBits)} + Bytes(4, 0) + le16(std::uint16_t(width))
               + le16(std::uint16_t(height)) + Bytes{u8(bits), u8(descriptor)};
    }
};

// The picture every form shows: 50 values in columns of three (so that RLE
// finds runs), symmetric neither way, each value a colour or a grey whose
// channels differ.
int valueAt(int x, int y) { return (x / 3 + y * 7) % 50; }
std::uint32_t colourOf(int v) { return std::uint32_t(v * 5) << 16 | std::uint32_t(255 - v * 3) << 8 | (v * 2 + 60); }
std::uint32_t greyOf(int v) { return 0x010101u * std::uint32_t(v * 5); }
Bytes bgr(std::uint32_t rgb) { return {u8(rgb), u8(rgb >> 8), u8(rgb >> 16)}; }

struct Form {
    int type, bits, mapBits;
};
const Form kForms[] = {{2, 24, 0}, {2, 32, 0}, {3, 8, 0}, {1, 8, 24}, {1, 8, 32}};

// Plain: pixel after pixel. RLE: runs as run packets, the rest as raw
// packets of up to 128 pixels that run on across rows.
Bytes encode(const std::vector<Bytes>& pixels, bool rle)
{
    Bytes out;
    for (std::size_t i = 0, n = 1; i < pixels.size(); i += n, n = 1) {
        while (rle && i + n < pixels.size() && n < 128 && pixels[i + n] == pixels[i])
            ++n;
        const bool run = n > 1;
        n = rle && !run ? std::min(pixels.size() - i, 128 - i % 100) : n;
        if (rle)
            out.push_back(u8(run ? 0x80 | (n - 1) : n - 1));
        for (std::size_t k = i; k < i + (run ? 1 : n); ++k)
            out = out + pixels[k];
    }
    return out;
}

// Mapped forms carry 50 entries standing for indices 7 to 56, the others a
// 16-bit map to skip when the height is odd; every width but 4 brings an ID.
Bytes craft(const Form& f, int width, int height, bool rle, int descriptor)
{
    const bool mapped = f.type == 1;
    const int mapLength = mapped ? 50 : height % 2 * 9;
    Bytes out = Header{width % 4,
                       mapLength ? 1 : 0,
                       f.type + (rle ? 8 : 0),
                       mapped ? 7 : 0,
                       mapLength,
                       mapped ? f.mapBits : 16,
                       width,
                       height,
                       f.bits,
                       descriptor}
                    .bytes()
                + Bytes(std::size_t(width % 4), 'I');
    for (int i = 0; i < mapLength; ++i)
        out = out + (mapped ? bgr(colourOf(i)) + Bytes(std::size_t(f.mapBits / 8 - 3), 0xFF) : Bytes{0x5A, 0x5A});
    std::vector<Bytes> pixels;
    for (int row = 0; row < height; ++row)
        for (int i = 0; i < width; ++i) {
            const int v = valueAt(descriptor & 0x10 ? width - 1 - i : i, descriptor & 0x20 ? row : height - 1 - row);
            pixels.push_back(mapped        ? Bytes{u8(v + 7)}
                             : f.type == 3 ? Bytes{u8(greyOf(v))}
                                           : bgr(colourOf(v)) + Bytes(std::size_t(f.bits / 8 - 3), 0x80));
        }
    return out + encode(pixels, rle);
}

// The reason of a refusal, "" when the input decodes; what() must put the
// name in front of it.
std::string reasonOf(const QString& name, const std::function<void()>& decode)
{
    try {
        decode();
        return "";
    } catch (const TgaError& e) {
        EXPECT_EQ(e.what(), name.toStdString() + ": " + e.reason());
        return e.reason();
    }
}

// Decodes from memory, keeping the bytes as a seed.
std::string decode(const Bytes& bytes, Picture& picture)
{
    keepAsSeed(bytes, "TGA");
    return reasonOf("crafted.tga", [&] { DecodeTga(bytes, "crafted.tga", allocatorFor(picture)); });
}

void expectPicture(const Picture& picture, int width, int height, bool grey)
{
    ASSERT_EQ(std::pair(picture.width, picture.height), std::pair(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(picture.at(x, y), (grey ? greyOf : colourOf)(valueAt(x, y))) << "x " << x << " y " << y;
    EXPECT_TRUE(picture.padIsZero());
}

} // namespace

// Every width alignment, both row orders and both pixel directions, from
// memory and (through the straight-into-the-buffer path) from a file.
TEST(TgaDecoderForms, EveryFormDecodesPixelExact)
{
    fwtest::TempDir dir;
    for (const Form& form : kForms)
        for (const auto& [width, height] : {std::pair{35, 39}, {1, 1}, {2, 3}, {4, 2}})
            for (const bool rle : {false, true})
                for (const int descriptor : {0x00, 0x20, 0x10, 0x30}) {
                    SCOPED_TRACE(testing::Message() << "type " << form.type << "/" << form.bits << "/" << form.mapBits
                                                    << (rle ? " RLE " : " plain ") << width << " x " << height
                                                    << " descriptor " << descriptor);
                    const Bytes bytes = craft(form, width, height, rle, descriptor);
                    Picture picture, fromFile;
                    ASSERT_EQ(decode(bytes, picture), "");
                    expectPicture(picture, width, height, form.type == 3);
                    DecodeTgaFile(writeBytes(dir.file("a.tga"), bytes), allocatorFor(fromFile));
                    expectPicture(fromFile, width, height, form.type == 3);
                }
}

// Only a broken stream or colour index is found after the picture is
// allocated; the buffer then holds zeros, never the stale bytes.
TEST(TgaDecoderErrors, EveryHostileFileIsRefusedWithItsReason)
{
    const Bytes good = craft(kForms[0], 5, 3, false, 0);
    const Bytes rle = Header{.type = 10}.bytes();
    const Header mapped{.mapType = 1, .type = 1, .mapLength = 16, .mapBits = 24, .bits = 8};
    const auto with = [](Header h, int Header::*field, int value) {
        h.*field = value;
        return h.bytes();
    };
    const std::pair<Bytes, std::string> cases[] = {
        {{}, "file is empty"},
        {{'B', 'M', 0x36, 0, 0, 0}, "not a TGA file (colour map type 77)"},
        {Header{.type = 5}.bytes(), "not a TGA file (image type 5)"},
        {Bytes(good.begin(), good.begin() + 17), "truncated header"},
        {Header{.width = 0}.bytes(), "bad dimensions (0 x 3)"},
        {Header{.width = 65535, .height = 65535}.bytes(), "dimensions too large (65535 x 65535)"},
        {Header{.type = 10, .width = 8000, .height = 8000}.bytes() + Bytes(12, 0xFF),
         "truncated pixel data (12 bytes of RLE data for 8000 x 8000 pixels)"},
        {Header{.descriptor = 0x40}.bytes(), "unsupported image type (interleaved rows)"},
        {Header{.bits = 16}.bytes(), "unsupported bit depth (16 bits per pixel, true colour)"},
        {with(mapped, &Header::mapType, 0), "bad colour map (none in a colour-mapped picture)"},
        {mapped.bytes() + Bytes(47, 9), "truncated header (image ID and colour map end at byte 66, file size 65)"},
        {Bytes(good.begin(), good.end() - 1), "truncated pixel data (44 of 45 bytes)"},
        {mapped.bytes() + Bytes(48, 9) + Bytes(14, 3) + Bytes{200},
         "bad colour map (index 200 outside entries 0 to 15)"},
        {rle + Bytes{0x89, 1, 2, 3, 0x04, 1, 2, 3, 4, 5, 6}, "truncated pixel data (RLE data ends at pixel 10 of 15)"},
        {rle + Bytes{0x8D, 1, 2, 3, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9},
         "corrupt RLE data (packet of 3 pixels at pixel 14 of 15)"},
        {rle + Bytes{0x86, 1, 2, 3, 0x86, 4, 5, 6, 0x00, 7, 8, 9}, ""}, // runs across rows, then the last pixel
    };
    for (const auto& [bytes, reason] : cases) {
        Picture picture;
        EXPECT_EQ(decode(bytes, picture), reason);
        const bool late = reason.empty() || reason.find("RLE data ends") != std::string::npos
                          || reason.find("corrupt") != std::string::npos || reason.find("(index ") != std::string::npos;
        EXPECT_EQ(picture.allocations, late ? 1 : 0) << reason;
        EXPECT_TRUE(reason.empty()
                    || std::count(picture.bytes.begin(), picture.bytes.end(), 0)
                           == std::ptrdiff_t(picture.bytes.size()));
    }
}

// (A file's own failures are the readers' shared code's: the BMP reader's
// test.)
TEST(TgaDecoderErrors, AllocatorFailuresPassThrough)
{
    fwtest::TempDir dir;
    const QString rle = writeBytes(dir.file("rle.tga"), craft(kForms[0], 35, 39, true, 0x20));
    EXPECT_THROW(DecodeTgaFile(rle, [](int, int) -> u8* { throw std::bad_alloc(); }), std::bad_alloc);
    EXPECT_THROW(DecodeTgaFile(rle, [](int, int) -> u8* { return nullptr; }), TgaError);
}
