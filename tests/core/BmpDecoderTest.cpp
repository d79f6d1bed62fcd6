// The BMP decoder on bitmaps built here: screenshot rows at every alignment
// in both row orders, the failures and size caps the corpus does not show.
// The other depths, layouts and RLE streams are the corpus test's.
#include "ReaderTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

using namespace readertest;

namespace {

// What goes into a bitmap file; build() writes it out.
struct BmpRecipe {
    int width = 1;
    int height = 1; // negative: stored top row first
    int bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::vector<std::uint32_t> masks;   // red, green, blue; written after the 40-byte header
    Bytes pixels;                       // as stored in the file
};

Bytes build(const BmpRecipe& r)
{
    const std::size_t offset = 14 + 40 + 4 * (r.masks.size() + r.palette.size());
    Bytes b = Bytes{'B', 'M'} + le32(std::uint32_t(offset + r.pixels.size())) + le32(0) + le32(std::uint32_t(offset))
              + le32(40) + le32(std::uint32_t(r.width)) + le32(std::uint32_t(r.height)) + le16(1)
              + le16(std::uint16_t(r.bitsPerPixel)) + le32(r.compression) + le32(std::uint32_t(r.pixels.size()))
              + Bytes(16, 0);
    for (const std::uint32_t value : r.masks)
        b = b + le32(value);
    for (const std::uint32_t colour : r.palette)
        b = b + le32(colour);
    return b + r.pixels;
}

std::uint32_t colourFor(int x, int y)
{
    return (std::uint32_t(x * 37 + y * 11) & 0xFF) << 16 | (std::uint32_t(x * 5 + y * 71) & 0xFF) << 8
           | (std::uint32_t(x * 113 + y * 3 + 7) & 0xFF);
}

// A 24-bit picture of colourFor(), rows in file order; the file's pad bytes
// are garbage on purpose.
BmpRecipe rgb24(int width, int height, bool topDown = false)
{
    BmpRecipe r;
    r.width = width;
    r.height = topDown ? -height : height;
    const auto stride = std::size_t(PixelLayout::paddedRowBytes(width, 24));
    r.pixels.assign(stride * height, 0xEE);
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = topDown ? fileRow : height - 1 - fileRow; // y counted from the top
        for (int x = 0; x < width; ++x)
            for (int i = 0; i < 3; ++i)
                r.pixels[stride * fileRow + 3 * x + i] = std::uint8_t(colourFor(x, y) >> (8 * i));
    }
    return r;
}

void expectPicture(const Picture& picture, int width, int height)
{
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(picture.at(x, y), colourFor(x, y)) << "x " << x << " y " << y;
    EXPECT_TRUE(picture.padIsZero());
}

// Palette index n is grey n.
BmpRecipe rle8(int width, int height, Bytes stream)
{
    BmpRecipe r;
    r.width = width;
    r.height = height;
    r.bitsPerPixel = 8;
    r.compression = 1;
    for (std::uint32_t i = 0; i < 256; ++i)
        r.palette.push_back(0x010101u * i);
    r.pixels = std::move(stream);
    return r;
}

} // namespace

// The other depths' layouts come from the corpus; 24 bits, the screenshots'
// own, is read straight into the buffer and is checked here.
TEST(BmpDecoderLayout, ScreenshotRowsAtEveryAlignmentBothRowOrders)
{
    fwtest::TempDir dir;
    const std::pair<int, int> sizes[] = {{1, 3}, {2, 3}, {3, 3}, {4, 2}, {5, 3},
                                         {6, 2}, {7, 3}, {8, 2}, {9, 2}, {35, 39}};
    for (const auto& [width, height] : sizes) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height)
                         + (topDown ? " top-down" : " bottom-up"));
            const Bytes bytes = build(rgb24(width, height, topDown));
            expectPicture(decode(bytes), width, height);
            expectPicture(decodeFile(writeBytes(dir.file("case.bmp"), bytes)), width, height);
        }
    }
}

// A palette shorter than the indices the pixels use: the indices past its
// end come out black, in plain rows and in RLE runs alike, and nothing is
// read past the colours the file has.
TEST(BmpDecoderLayout, IndicesPastAShortPaletteComeOutBlack)
{
    BmpRecipe plain = rle8(4, 1, {0, 1, 200, 255});
    plain.compression = 0;
    BmpRecipe rle = rle8(4, 1, {1, 0, 1, 1, 1, 200, 1, 255, 0, 1});
    for (BmpRecipe* recipe : {&plain, &rle}) {
        recipe->palette = {0x102030, 0xA0B0C0};
        const Picture picture = decode(build(*recipe));
        ASSERT_EQ(picture.width, 4);
        EXPECT_EQ(std::vector<std::uint32_t>({picture.at(0, 0), picture.at(1, 0), picture.at(2, 0), picture.at(3, 0)}),
                  std::vector<std::uint32_t>({0x102030, 0xA0B0C0, 0, 0}))
            << (recipe == &plain ? "plain" : "RLE");
    }
}

// Refusals the corpus does not show. Only a broken RLE stream is found out
// after the picture is allocated; every other refusal costs no memory.
TEST(BmpDecoderErrors, EachFailureNamesItsReason)
{
    BmpRecipe plain8 = rle8(3, 2, Bytes(8, 0));
    plain8.compression = 0;
    const Bytes good = build(plain8);
    auto with = [&good](std::size_t at, std::uint32_t value) {
        Bytes b = good;
        std::ranges::copy(le32(value), b.begin() + std::ptrdiff_t(at));
        return b;
    };
    BmpRecipe masks;
    masks.bitsPerPixel = 16;
    masks.compression = 3;
    masks.pixels = {0, 0, 0, 0};
    auto withMasks = [&masks](std::vector<std::uint32_t> m) {
        BmpRecipe r = masks;
        r.masks = std::move(m);
        return build(r);
    };
    Bytes endless;
    for (int i = 0; i < 2000; ++i)
        endless.insert(endless.end(), {0, 2, 0, 0}); // deltas that go nowhere
    const std::string size = std::to_string(good.size());

    const struct {
        Bytes bytes;
        std::string reason;
    } cases[] = {
        {good, ""},
        {{}, "file is empty"},
        {{'G', 'I', 'F', '8', '9', 'a'}, "not a BMP file"},
        {Bytes(good.begin(), good.begin() + 30), "truncated header"},
        {with(18, 0), "bad dimensions (0 x 2)"},
        {with(22, 0x80000000), "dimensions too large (3 x 2147483648)"},
        {build(rle8(8000, 8000, {0, 1})), "dimensions too large (8000 x 8000 from 2 bytes of RLE data)"},
        {build(rle8(256, 256, {0, 1})), ""}, // a small picture may have a minimal stream
        {with(30, 7), "unsupported compression (7)"},
        {with(30, 2), "unsupported compression (RLE4 with 8 bits per pixel)"},
        {with(30, 3), "unsupported compression (bit fields with 8 bits per pixel)"},
        {with(10, 20), "not a BMP file (pixel data offset 20 points into the headers)"},
        {with(10, std::uint32_t(good.size())),
         "pixel data outside the file (offset " + size + ", file size " + size + ")"},
        {Bytes(good.begin(), good.end() - 1), "truncated pixel data (7 of 8 bytes)"},
        {withMasks({0xF00F, 0x0F00, 0x00F0}), "unsupported compression (bit-field mask 0x0000f00f)"},
        {withMasks({0, 0, 0}), "unsupported compression (all bit-field masks are 0)"},
        {build(rle8(4, 2, {4, 1, 0, 0, 4, 2})), "truncated pixel data (RLE data ends without end-of-bitmap)"},
        {build(rle8(1, 1, endless)), "corrupt RLE data (no end-of-bitmap in 4112 bytes)"},
    };
    for (const auto& c : cases) {
        Picture picture;
        EXPECT_EQ(reasonFor(c.bytes, &picture), c.reason);
        const bool allocates = c.reason.empty() || c.reason.find("end-of-bitmap") != std::string::npos;
        EXPECT_EQ(picture.allocations, allocates ? 1 : 0) << c.reason;
    }
}

// The reasons the file itself gives, as both readers and the preview see them.
TEST(BmpDecoderErrors, FileProblemsNameThePath)
{
    fwtest::TempDir dir;
    const std::pair<QString, std::string> cases[] = {
        {dir.file("missing.bmp"), "file not found"},
        {writeBytes(dir.file("empty.bmp"), {}), "file is empty"},
        {dir.path(), "cannot read file"},
    };
    for (const auto& [path, reason] : cases)
        EXPECT_EQ(reasonForFile(path), reason) << path.toStdString();
}

struct AllocatorRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TEST(BmpDecoderErrors, AllocatorExceptionsPassThrough)
{
    fwtest::TempDir dir;
    const PixelAllocator refuse = [](int, int) -> std::uint8_t* { throw AllocatorRefused("no room"); };
    for (const Bytes& bytes : {build(rgb24(9, 4)), build(rle8(4, 2, {4, 1, 0, 1}))}) {
        EXPECT_THROW(DecodeBmp(bytes, "a.bmp", refuse), AllocatorRefused);
        EXPECT_THROW(DecodeBmpFile(writeBytes(dir.file("a.bmp"), bytes), refuse), AllocatorRefused);
        EXPECT_THROW(DecodeBmp(bytes, "a.bmp", [](int, int) -> std::uint8_t* { return nullptr; }), BmpError);
    }
}
