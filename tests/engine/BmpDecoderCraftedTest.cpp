// The BMP decoder on bitmaps built here: every depth at every row alignment,
// both row orders, RLE edge cases, every failure's reason and the size caps.
#include "BmpTestSupport.h"
#include "TempDir.h"

#include <QFile>

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

using namespace bmptest;

namespace {

void put16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// What goes into a bitmap file; build() writes it out.
struct BmpRecipe {
    int width = 1;
    int height = 1; // negative: stored top row first
    int bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::vector<std::uint32_t> masks;   // red, green, blue; written after the 40-byte header
    std::uint32_t coloursUsed = 0;
    std::size_t gap = 0;                // unused bytes before the pixel data
    Bytes pixels;                       // as stored in the file
};

Bytes build(const BmpRecipe& r)
{
    const std::size_t paletteStart = 14 + 40 + 4 * r.masks.size();
    const std::size_t offset = paletteStart + 4 * r.palette.size() + r.gap;
    Bytes b(offset + r.pixels.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, std::uint32_t(offset));
    put32(b, 14, 40);
    put32(b, 18, std::uint32_t(r.width));
    put32(b, 22, std::uint32_t(r.height));
    put16(b, 26, 1);
    put16(b, 28, std::uint32_t(r.bitsPerPixel));
    put32(b, 30, r.compression);
    put32(b, 34, std::uint32_t(r.pixels.size()));
    put32(b, 46, r.coloursUsed);
    for (std::size_t i = 0; i < r.masks.size(); ++i)
        put32(b, 54 + 4 * i, r.masks[i]);
    for (std::size_t i = 0; i < r.palette.size(); ++i)
        put32(b, paletteStart + 4 * i, r.palette[i]);
    std::copy(r.pixels.begin(), r.pixels.end(), b.begin() + std::ptrdiff_t(offset));
    return b;
}

// Uncompressed pixel data from a value per pixel (palette index or packed
// pixel), rows in file order; pad bytes filled with garbage on purpose.
template <typename ValueAt>
Bytes packRows(int width, int height, int bits, bool topDown, ValueAt valueAt)
{
    const std::size_t stride = std::size_t((std::int64_t{width} * bits + 31) / 32 * 4);
    Bytes out(stride * height, 0xEE);
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = topDown ? fileRow : height - 1 - fileRow; // y counted from the top
        std::uint8_t* row = out.data() + stride * fileRow;
        std::fill(row, row + (std::size_t(width) * bits + 7) / 8, 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = valueAt(x, y);
            if (bits < 8)
                row[x * bits / 8] |= std::uint8_t(v << (8 - bits - x * bits % 8));
            else
                for (int i = 0; i < bits / 8; ++i)
                    row[x * bits / 8 + i] = std::uint8_t(v >> (8 * i));
        }
    }
    return out;
}

std::uint32_t colourFor(int x, int y)
{
    return (std::uint32_t(x * 37 + y * 11) & 0xFF) << 16 | (std::uint32_t(x * 5 + y * 71) & 0xFF) << 8
        | (std::uint32_t(x * 113 + y * 3 + 7) & 0xFF);
}

std::uint32_t scaled(std::uint32_t v, std::uint32_t max)
{
    return std::uint32_t(std::lround(double(v) * 255.0 / max));
}

// A picture of any supported depth and its expected colours.
struct Case {
    BmpRecipe recipe;
    std::vector<std::uint32_t> expected; // row-major from the top
};

Case makeCase(int width, int height, int bits, bool topDown)
{
    Case c;
    c.recipe.width = width;
    c.recipe.height = topDown ? -height : height;
    c.recipe.bitsPerPixel = bits;
    c.expected.resize(std::size_t(width) * height);
    auto expect = [&](int x, int y, std::uint32_t rgb) { c.expected[std::size_t(y) * width + x] = rgb; };

    if (bits <= 8) {
        const int entries = 1 << bits;
        for (int i = 0; i < entries; ++i)
            c.recipe.palette.push_back(colourFor(i, 3 * i + 1));
        c.recipe.pixels = packRows(width, height, bits, topDown, [&](int x, int y) {
            const std::uint32_t index = std::uint32_t(x * 7 + y * 3) % entries;
            expect(x, y, c.recipe.palette[index]);
            return index;
        });
    } else if (bits == 16) { // default 5-5-5
        c.recipe.pixels = packRows(width, height, bits, topDown, [&](int x, int y) {
            const std::uint32_t v = std::uint32_t(x * 1013 + y * 2713) & 0x7FFF;
            expect(x, y, scaled(v >> 10, 31) << 16 | scaled((v >> 5) & 31, 31) << 8 | scaled(v & 31, 31));
            return v;
        });
    } else { // 24 or 32: blue, green, red (, unused)
        c.recipe.pixels = packRows(width, height, bits, topDown, [&](int x, int y) {
            expect(x, y, colourFor(x, y));
            return colourFor(x, y) | (bits == 32 ? 0x5A000000u : 0u);
        });
    }
    return c;
}

void expectPicture(const Picture& picture, const Case& c)
{
    ASSERT_EQ(picture.width, c.recipe.width);
    ASSERT_EQ(picture.height, std::abs(c.recipe.height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            ASSERT_EQ(picture.at(x, y), c.expected[std::size_t(y) * picture.width + x]) << "x " << x << " y " << y;
    EXPECT_TRUE(picture.padIsZero());
}

// The first row's colours, left to right.
std::vector<std::uint32_t> topRow(const Picture& picture)
{
    std::vector<std::uint32_t> row;
    for (int x = 0; x < picture.width; ++x)
        row.push_back(picture.at(x, 0));
    return row;
}

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

TEST(BmpDecoderLayout, EveryDepthEveryRowAlignmentBothRowOrders)
{
    fwtest::TempDir dir;
    const std::pair<int, int> sizes[] = {{1, 3}, {2, 3}, {3, 3}, {4, 2}, {5, 3}, {6, 2}, {7, 3}, {8, 2}, {9, 2}, {35, 39}};
    for (const int bits : {1, 2, 4, 8, 16, 24, 32}) {
        for (const auto& [width, height] : sizes) {
            for (const bool topDown : {false, true}) {
                SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(width) + " x " + std::to_string(height)
                             + (topDown ? " top-down" : " bottom-up"));
                const Case c = makeCase(width, height, bits, topDown);
                const Bytes bytes = build(c.recipe);
                expectPicture(decode(bytes), c);
                const Picture fromFile = decodeFile(writeBytes(dir.file("case.bmp"), bytes));
                expectPicture(fromFile, c);
                EXPECT_EQ(fromFile.allocations, 1);
            }
        }
    }
}

TEST(BmpDecoderLayout, ScreenshotRowsAndPixelOffsetAreHonoured)
{
    // The screenshot layout is read straight into the buffer: both row
    // orders, garbage in the file's pad bytes, a palette to skip and a gap
    // before the pixel data.
    fwtest::TempDir dir;
    for (const bool topDown : {false, true}) {
        Case c = makeCase(641, 7, 24, topDown);
        c.recipe.palette = {0x112233, 0x445566};
        c.recipe.gap = 7;
        expectPicture(decodeFile(writeBytes(dir.file("shot.bmp"), build(c.recipe))), c);
        expectPicture(decode(build(c.recipe)), c);
    }
}

TEST(BmpDecoderLayout, PixelValuesBecomeColours)
{
    BmpRecipe shortPalette; // indices past its end are black
    shortPalette.width = 4;
    shortPalette.bitsPerPixel = 4;
    shortPalette.palette = {0x102030, 0x405060};
    shortPalette.coloursUsed = 2;
    shortPalette.pixels = {0x01, 0x5F, 0, 0};

    BmpRecipe rgb555; // full scale is white; 16 of 31 rounds to 132
    rgb555.width = 2;
    rgb555.bitsPerPixel = 16;
    rgb555.pixels = {0xFF, 0x7F, 0x10, 0x42, 0, 0, 0, 0};

    BmpRecipe rgb565 = rgb555;
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.pixels = {0xFF, 0xFF, 0x00, 0xF8, 0, 0, 0, 0};

    BmpRecipe tenBits; // fields wider than 8 bits, red low, blue high, top bits no colour
    tenBits.width = 3;
    tenBits.bitsPerPixel = 32;
    tenBits.compression = 3;
    tenBits.masks = {0x000003FF, 0x000FFC00, 0x3FF00000};
    tenBits.pixels.resize(12);
    put32(tenBits.pixels, 0, 0x3FFFFFFF);
    put32(tenBits.pixels, 4, 0x000001FF);
    put32(tenBits.pixels, 8, 0xC0000000 | (1023u << 10));

    const struct {
        const char* name;
        BmpRecipe recipe;
        std::vector<std::uint32_t> row;
    } cases[] = {
        {"short palette", shortPalette, {0x102030, 0x405060, 0, 0}},
        {"5-5-5", rgb555, {0xFFFFFF, 0x848484}},
        {"5-6-5 masks", rgb565, {0xFFFFFF, 0xFF0000}},
        {"10-bit masks", tenBits, {0xFFFFFF, 0x7F0000, 0x00FF00}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(topRow(decode(build(c.recipe))), c.row) << c.name;
}

TEST(BmpDecoderRle, RunsAndDeltasLandInsideThePicture)
{
    BmpRecipe rle4 = rle8(6, 1, {5, 0x12, 0, 3, 0x34, 0x50, 0, 1});
    rle4.bitsPerPixel = 4;
    rle4.compression = 2;
    rle4.palette.resize(16);
    const struct {
        const char* name;
        BmpRecipe recipe;
        std::vector<std::uint32_t> grey; // palette index n is grey n; rows from the top
    } cases[] = {
        // A 255-pixel run on a 4-pixel row stops at its end; end-of-line,
        // then a second row; nothing spills, nothing stays stale.
        {"long run", rle8(4, 3, {255, 9, 0, 0, 2, 7, 0, 1}), {0, 0, 0, 0, 7, 7, 0, 0, 9, 9, 9, 9}},
        // An absolute run of 3 (padded), a delta right 1 and up 1, a run of
        // 2 cut at the row's end, end of bitmap.
        {"absolute and delta", rle8(5, 3, {0, 3, 10, 20, 30, 0, 0, 2, 1, 1, 2, 40, 0, 1}),
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 10, 20, 30, 0, 0}},
        {"past the top", rle8(2, 1, {0, 2, 200, 200, 9, 1, 0, 0, 0, 0, 4, 5, 0, 1}), {0, 0}},
        {"RLE4 alternates a run's two colours", rle4, {1, 2, 1, 2, 1, 3}},
    };
    for (const auto& c : cases) {
        const Picture picture = decode(build(c.recipe));
        std::vector<std::uint32_t> grey;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                grey.push_back(picture.at(x, y) / 0x010101u);
        EXPECT_EQ(grey, c.grey) << c.name;
        EXPECT_TRUE(picture.padIsZero()) << c.name;
    }
}

TEST(BmpDecoderErrors, EachFailureNamesItsReason)
{
    const Bytes good = build(makeCase(3, 2, 8, false).recipe);
    ASSERT_EQ(reasonFor(good), "");
    auto with = [&good](std::size_t at, std::uint32_t value, int size = 4) {
        Bytes b = good;
        size == 2 ? put16(b, at, value) : put32(b, at, value);
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
        {{}, "file is empty"},
        {{'G', 'I', 'F', '8', '9', 'a'}, "not a BMP file"},
        {Bytes(good.begin(), good.begin() + 30), "truncated header"},
        {with(18, 0), "bad dimensions (0 x 2)"},
        {with(22, 0), "bad dimensions (3 x 0)"},
        {with(18, 0xFFFFFFFD), "bad dimensions (-3 x 2)"},
        {with(18, 40000000), "dimensions too large (40000000 x 2)"},
        {with(22, 0x80000000), "dimensions too large (3 x 2147483648)"},
        {with(28, 3, 2), "unsupported bit depth (3)"},
        {with(28, 64, 2), "unsupported bit depth (64)"},
        {with(26, 2, 2), "unsupported bit depth (2 planes)"},
        {with(30, 7), "unsupported compression (7)"},
        {with(30, 2), "unsupported compression (RLE4 with 8 bits per pixel)"},
        {with(30, 3), "unsupported compression (bit fields with 8 bits per pixel)"},
        {with(30, 4), "unsupported compression (embedded JPEG)"},
        {with(30, 5), "unsupported compression (embedded PNG)"},
        {with(46, 1000), "bad palette (1000 colours for 8 bits per pixel)"},
        {with(14, 66), "not a BMP file (unknown info header size 66)"},
        {with(10, 20), "not a BMP file (pixel data offset 20 points into the headers)"},
        {with(10, std::uint32_t(good.size())), "pixel data outside the file (offset " + size + ", file size " + size + ")"},
        {Bytes(good.begin(), good.end() - 1), "truncated pixel data (7 of 8 bytes)"},
        {withMasks({0xF00F, 0x0F00, 0x00F0}), "unsupported compression (bit-field mask 0x0000f00f)"},
        {withMasks({0x1F0000, 0x03E0, 0x001F}), "unsupported compression (bit-field mask 0x001f0000)"},
        {withMasks({0, 0, 0}), "unsupported compression (all bit-field masks are 0)"},
        {build(rle8(4, 2, {4, 1, 0, 0, 4, 2})), "truncated pixel data (RLE data ends without end-of-bitmap)"},
        {build(rle8(4, 2, {0, 4, 1, 2})), "truncated pixel data (RLE data ends without end-of-bitmap)"},
        {build(rle8(1, 1, endless)), "corrupt RLE data (no end-of-bitmap in 4112 bytes)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reasonFor(c.bytes), c.reason);
}

TEST(BmpDecoderLimits, HugePicturesAreRefusedWithoutAllocating)
{
    BmpRecipe huge;
    huge.width = 60000;
    huge.height = 60000;
    huge.pixels.resize(64);
    Case cut = makeCase(64, 64, 24, false);
    cut.recipe.pixels.pop_back();

    const struct {
        Bytes bytes;
        std::string reason;
    } cases[] = {
        {build(huge), "dimensions too large (60000 x 60000)"},
        {build(rle8(8000, 8000, {0, 1})), "dimensions too large (8000 x 8000 from 2 bytes of RLE data)"},
        {build(cut.recipe), "truncated pixel data (12287 of 12288 bytes)"},
    };
    for (const auto& c : cases) {
        Picture picture;
        EXPECT_EQ(reasonFor(c.bytes, &picture), c.reason);
        EXPECT_EQ(picture.allocations, 0);
    }
    // A small picture with a minimal stream is fine: all black.
    EXPECT_EQ(decode(build(rle8(256, 256, {0, 1}))).at(255, 255), 0u);
}

TEST(BmpDecoderErrors, FileProblemsNameThePath)
{
    fwtest::TempDir dir;
    const auto file = [&dir](const char* name, const Bytes& bytes) { return writeBytes(dir.file(name), bytes); };
    const std::pair<QString, std::string> cases[] = {
        {dir.file("missing.bmp"), "file not found"},
        {file("empty.bmp", {}), "file is empty"},
        {dir.path(), "cannot read file"},
        {file("photo.bmp", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}), "not a BMP file"},
        {file("short.bmp", {'B', 'M', 0, 0}), "truncated header"},
    };
    for (const auto& [path, reason] : cases)
        EXPECT_EQ(reasonForFile(path), reason) << path.toStdString();
}

TEST(BmpDecoderErrors, UnreadableFileNamesThePath)
{
    // Root reads files whatever their mode, so the read runs as nobody.
    fwtest::TempDir dir;
    const QString locked = writeBytes(dir.file("locked.bmp"), build(makeCase(3, 2, 8, false).recipe));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ExeGroup | QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(locked, {}));
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && setuid(65534) != 0)
                std::_Exit(2);
            std::_Exit(reasonForFile(locked) == "cannot read file" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

struct AllocatorRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TEST(BmpDecoderErrors, AllocatorExceptionsPassThrough)
{
    fwtest::TempDir dir;
    const BmpAllocator refuse = [](int, int) -> std::uint8_t* { throw AllocatorRefused("no room"); };
    const Bytes shot = build(makeCase(9, 4, 24, false).recipe);
    const Bytes rle = build(rle8(4, 2, {4, 1, 0, 1}));
    for (const Bytes& bytes : {shot, rle}) {
        EXPECT_THROW(DecodeBmp(bytes, "a.bmp", refuse), AllocatorRefused);
        EXPECT_THROW(DecodeBmpFile(writeBytes(dir.file("a.bmp"), bytes), refuse), AllocatorRefused);
    }
    const BmpAllocator none = [](int, int) -> std::uint8_t* { return nullptr; };
    EXPECT_THROW(DecodeBmp(shot, "a.bmp", none), BmpError);
}
