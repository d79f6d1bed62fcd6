// The BMP decoder on bitmaps built here: every depth at every row alignment,
// both row orders, RLE edge cases, every failure's reason, the size caps, and
// truncated and scrambled copies of the corpus.
#include "TempDir.h"
#include "engine/bmp/BmpDecoder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

QString corpusFile(const QString& relative)
{
    return fwtest::corpusPath(relative);
}

Bytes readBytes(const QString& path)
{
    const QByteArray data = fwtest::readAll(path);
    return Bytes(data.begin(), data.end());
}

QString writeFile(const fwtest::TempDir& dir, const QString& name, const Bytes& bytes)
{
    const QString path = dir.file(name);
    fwtest::writeAll(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    return path;
}

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

// A decoded picture; the vector is exactly the promised size (ASan checks).
struct Picture {
    int width = 0;
    int height = 0;
    int allocations = 0;
    Bytes bytes;

    int stride() const { return (width * 3 + 3) & ~3; }
    // Blue, green, red of column x, row y counted from the top, as 0xRRGGBB.
    std::uint32_t at(int x, int y) const
    {
        const std::uint8_t* p = bytes.data() + std::size_t(height - 1 - y) * stride() + 3 * x;
        return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }
    bool padIsZero() const
    {
        for (int row = 0; row < height; ++row)
            for (int i = width * 3; i < stride(); ++i)
                if (bytes[std::size_t(row) * stride() + i] != 0)
                    return false;
        return true;
    }
};

BmpAllocator allocatorFor(Picture& picture)
{
    return [&picture](int width, int height) {
        ++picture.allocations;
        picture.width = width;
        picture.height = height;
        picture.bytes.assign(std::size_t(picture.stride()) * height, 0xAB); // stale memory
        return picture.bytes.data();
    };
}

// Every crafted bitmap goes through here; with FW_BMP_SEED_DIR set it is
// also written there, as a starting point for the fuzzer.
void decodeCrafted(std::span<const std::uint8_t> bytes, const BmpAllocator& allocate)
{
    if (const QByteArray seeds = qgetenv("FW_BMP_SEED_DIR"); !seeds.isEmpty()) {
        const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        const QString name = QString::number(qHash(data), 16) + ".bmp";
        fwtest::writeAll(QString::fromLocal8Bit(seeds) + '/' + name, data);
    }
    DecodeBmp(bytes, "crafted.bmp", allocate);
}

Picture decodeBytes(const Bytes& bytes)
{
    Picture picture;
    decodeCrafted(bytes, allocatorFor(picture));
    return picture;
}

// The reason after "<name>: ", or "" when the bytes decode.
std::string reasonFor(std::span<const std::uint8_t> bytes, Picture* picture = nullptr)
{
    Picture local;
    Picture& target = picture ? *picture : local;
    try {
        decodeCrafted(bytes, allocatorFor(target));
    } catch (const BmpError& e) {
        const std::string what = e.what();
        const std::string prefix = "crafted.bmp: ";
        return what.rfind(prefix, 0) == 0 ? what.substr(prefix.size()) : "(no name) " + what;
    }
    return "";
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// ---------------------------------------------------------------------------
// Building bitmaps

struct Spec {
    int width = 1;
    int height = 1; // negative: stored top row first
    int bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 40;
    std::vector<std::uint32_t> palette;     // 0xRRGGBB
    std::vector<std::uint32_t> masks;       // red, green, blue; written after a 40-byte header
    std::uint32_t coloursUsed = 0;
    std::size_t gap = 0;                    // unused bytes before the pixel data
    Bytes pixels;                           // as stored in the file
};

Bytes build(const Spec& s)
{
    const std::size_t paletteStart = 14 + s.infoSize + 4 * s.masks.size();
    const std::size_t offset = paletteStart + 4 * s.palette.size() + s.gap;
    Bytes b(offset + s.pixels.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, std::uint32_t(offset));
    put32(b, 14, s.infoSize);
    put32(b, 18, std::uint32_t(s.width));
    put32(b, 22, std::uint32_t(s.height));
    put16(b, 26, 1);
    put16(b, 28, std::uint32_t(s.bitsPerPixel));
    put32(b, 30, s.compression);
    put32(b, 34, std::uint32_t(s.pixels.size()));
    put32(b, 46, s.coloursUsed);
    for (std::size_t i = 0; i < s.masks.size(); ++i)
        put32(b, 14 + s.infoSize + 4 * i, s.masks[i]);
    for (std::size_t i = 0; i < s.palette.size(); ++i)
        put32(b, paletteStart + 4 * i, s.palette[i]);
    std::copy(s.pixels.begin(), s.pixels.end(), b.begin() + std::ptrdiff_t(offset));
    return b;
}

std::size_t rowBytes(int width, int bits)
{
    return std::size_t((std::int64_t{width} * bits + 31) / 32 * 4);
}

// Uncompressed pixel data from a value per pixel (palette index or packed
// pixel), rows in file order; pad bytes filled with garbage on purpose.
template <typename ValueAt>
Bytes packRows(int width, int height, int bits, bool topDown, ValueAt valueAt)
{
    const std::size_t stride = rowBytes(width, bits);
    Bytes out(stride * height, 0xEE);
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = topDown ? fileRow : height - 1 - fileRow; // y counted from the top
        std::uint8_t* row = out.data() + stride * fileRow;
        std::fill(row, row + (std::size_t(width) * bits + 7) / 8, 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = valueAt(x, y);
            if (bits < 8) {
                const int bit = x * bits;
                row[bit / 8] |= std::uint8_t(v << (8 - bits - bit % 8));
            } else {
                for (int i = 0; i < bits / 8; ++i)
                    row[x * bits / 8 + i] = std::uint8_t(v >> (8 * i));
            }
        }
    }
    return out;
}

std::uint32_t colourFor(int x, int y)
{
    return (std::uint32_t(x * 37 + y * 11) & 0xFF) << 16 | (std::uint32_t(x * 5 + y * 71) & 0xFF) << 8
        | (std::uint32_t(x * 113 + y * 3 + 7) & 0xFF);
}

std::uint8_t scaled(std::uint32_t v, std::uint32_t max)
{
    return std::uint8_t(std::lround(double(v) * 255.0 / max));
}

// A picture of every supported depth and its expected colours.
struct Case {
    Spec spec;
    std::vector<std::uint32_t> expected; // row-major from the top
};

Case makeCase(int width, int height, int bits, bool topDown)
{
    Case c;
    c.spec.width = width;
    c.spec.height = topDown ? -height : height;
    c.spec.bitsPerPixel = bits;
    c.expected.resize(std::size_t(width) * height);
    auto expect = [&](int x, int y, std::uint32_t rgb) { c.expected[std::size_t(y) * width + x] = rgb; };

    if (bits <= 8) {
        const int entries = 1 << bits;
        for (int i = 0; i < entries; ++i)
            c.spec.palette.push_back(colourFor(i, 3 * i + 1));
        c.spec.pixels = packRows(width, height, bits, topDown, [&](int x, int y) {
            const std::uint32_t index = std::uint32_t(x * 7 + y * 3) % entries;
            expect(x, y, c.spec.palette[index]);
            return index;
        });
    } else if (bits == 16) { // default 5-5-5
        c.spec.pixels = packRows(width, height, bits, topDown, [&](int x, int y) {
            const std::uint32_t v = std::uint32_t(x * 1013 + y * 2713) & 0x7FFF;
            expect(x, y, std::uint32_t(scaled(v >> 10, 31)) << 16 | std::uint32_t(scaled((v >> 5) & 31, 31)) << 8
                       | scaled(v & 31, 31));
            return v;
        });
    } else { // 24 or 32: blue, green, red (, unused)
        c.spec.pixels = packRows(width, height, bits, topDown, [&](int x, int y) {
            expect(x, y, colourFor(x, y));
            return colourFor(x, y) | (bits == 32 ? 0x5A000000u : 0u);
        });
    }
    return c;
}

void expectPicture(const Picture& picture, const Case& c)
{
    ASSERT_EQ(picture.width, c.spec.width);
    ASSERT_EQ(picture.height, std::abs(c.spec.height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            ASSERT_EQ(picture.at(x, y), c.expected[std::size_t(y) * picture.width + x])
                << "x " << x << " y " << y;
    EXPECT_TRUE(picture.padIsZero());
}

TEST(BmpDecoderLayout, EveryDepthEveryRowAlignmentBothRowOrders)
{
    fwtest::TempDir dir;
    const std::pair<int, int> sizes[] = {{1, 3}, {2, 3}, {3, 3}, {4, 2}, {5, 3}, {6, 2},
                                         {7, 3}, {8, 2}, {9, 2}, {35, 39}};
    for (const int bits : {1, 2, 4, 8, 16, 24, 32}) {
        for (const auto& [width, height] : sizes) {
            for (const bool topDown : {false, true}) {
                SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(width) + " x "
                             + std::to_string(height) + (topDown ? " top-down" : " bottom-up"));
                const Case c = makeCase(width, height, bits, topDown);
                const Bytes bytes = build(c.spec);
                expectPicture(decodeBytes(bytes), c);

                Picture fromFile;
                DecodeBmpFile(writeFile(dir, "case.bmp", bytes), allocatorFor(fromFile));
                expectPicture(fromFile, c);
                EXPECT_EQ(fromFile.allocations, 1);
            }
        }
    }
}

TEST(BmpDecoderLayout, PixelOffsetIsHonouredAndPalettesOfDeepPicturesSkipped)
{
    Case c = makeCase(5, 4, 24, false);
    c.spec.palette = {0x112233, 0x445566};
    c.spec.gap = 7;
    expectPicture(decodeBytes(build(c.spec)), c);
}

TEST(BmpDecoderLayout, IndicesBeyondAShortPaletteAreBlack)
{
    Spec s;
    s.width = 4;
    s.bitsPerPixel = 4;
    s.palette = {0x102030, 0x405060};
    s.coloursUsed = 2;
    s.pixels = {0x01, 0x5F, 0, 0};
    const Picture picture = decodeBytes(build(s));
    EXPECT_EQ(picture.at(0, 0), 0x102030u);
    EXPECT_EQ(picture.at(1, 0), 0x405060u);
    EXPECT_EQ(picture.at(2, 0), 0u);
    EXPECT_EQ(picture.at(3, 0), 0u);
}

TEST(BmpDecoderLayout, SixteenBitFullScaleIsWhite)
{
    Spec s;
    s.width = 2;
    s.bitsPerPixel = 16;
    s.pixels = {0xFF, 0x7F, 0x10, 0x42, 0, 0, 0, 0}; // 0x7FFF, then 16/16/16 of 31
    Picture picture = decodeBytes(build(s));
    EXPECT_EQ(picture.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(picture.at(1, 0), 0x848484u); // round(16 * 255 / 31) = 132

    s.compression = 3;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.pixels = {0xFF, 0xFF, 0x00, 0xF8, 0, 0, 0, 0};
    picture = decodeBytes(build(s));
    EXPECT_EQ(picture.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(picture.at(1, 0), 0xFF0000u);
}

TEST(BmpDecoderLayout, BitFieldsWiderThanEightBitsAndInAnyOrder)
{
    Spec s;
    s.width = 3;
    s.bitsPerPixel = 32;
    s.compression = 3;
    s.masks = {0x000003FF, 0x000FFC00, 0x3FF00000}; // red low, blue high, 10 bits each
    s.pixels.resize(12);
    put32(s.pixels, 0, 0x3FFFFFFF);
    put32(s.pixels, 4, 0x000001FF);                  // red 511 of 1023
    put32(s.pixels, 8, 0xC0000000 | (1023u << 10)); // top bits are no colour
    const Picture picture = decodeBytes(build(s));
    EXPECT_EQ(picture.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(picture.at(1, 0), 0x7F0000u);
    EXPECT_EQ(picture.at(2, 0), 0x00FF00u);
}

TEST(BmpDecoderLayout, TopDownScreenshotRowsLandBottomUp)
{
    // The screenshot layout read straight into the buffer, both row orders,
    // with garbage in the file's pad bytes.
    fwtest::TempDir dir;
    for (const bool topDown : {false, true}) {
        const Case c = makeCase(641, 7, 24, topDown);
        Picture picture;
        DecodeBmpFile(writeFile(dir, "shot.bmp", build(c.spec)), allocatorFor(picture));
        expectPicture(picture, c);
    }
}

// ---------------------------------------------------------------------------
// RLE

Spec rle8(int width, int height, Bytes stream)
{
    Spec s;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = 8;
    s.compression = 1;
    for (std::uint32_t i = 0; i < 256; ++i)
        s.palette.push_back(0x010101u * i);
    s.pixels = std::move(stream);
    return s;
}

TEST(BmpDecoderRle, RunsStopAtTheEndOfTheirRow)
{
    // A 255-pixel run on a 4-pixel row, then end-of-line and a second row.
    const Picture picture = decodeBytes(build(rle8(4, 3, {255, 9, 0, 0, 2, 7, 0, 1})));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(picture.at(x, 2), 0x090909u); // bottom row
    EXPECT_EQ(picture.at(0, 1), 0x070707u);
    EXPECT_EQ(picture.at(1, 1), 0x070707u);
    EXPECT_EQ(picture.at(2, 1), 0u); // nothing spilled, nothing stale
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(picture.at(x, 0), 0u);
    EXPECT_TRUE(picture.padIsZero());
}

TEST(BmpDecoderRle, AbsoluteRunsDeltasAndEarlyEnd)
{
    // Absolute run of 3 (padded), delta right 1 and up 1, a run of 2, end.
    const Picture picture =
        decodeBytes(build(rle8(5, 3, {0, 3, 10, 20, 30, 0, 0, 2, 1, 1, 2, 40, 0, 1})));
    EXPECT_EQ(picture.at(0, 2), 0x0A0A0Au);
    EXPECT_EQ(picture.at(2, 2), 0x1E1E1Eu);
    EXPECT_EQ(picture.at(3, 2), 0u);
    EXPECT_EQ(picture.at(3, 1), 0u); // skipped by the delta
    EXPECT_EQ(picture.at(4, 1), 0x282828u);
    EXPECT_EQ(picture.at(0, 0), 0u); // never reached
}

TEST(BmpDecoderRle, Rle4AlternatesTheTwoColoursOfARun)
{
    Spec s = rle8(6, 1, {5, 0x12, 0, 3, 0x34, 0x50, 0, 1});
    s.bitsPerPixel = 4;
    s.compression = 2;
    s.palette.resize(16);
    const Picture picture = decodeBytes(build(s));
    const std::uint32_t expected[] = {0x010101, 0x020202, 0x010101, 0x020202, 0x010101, 0x030303};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(picture.at(x, 0), expected[x]) << x;
}

TEST(BmpDecoderRle, RunsAndDeltasPastTheTopAreDropped)
{
    const Picture picture = decodeBytes(build(rle8(2, 1, {0, 2, 200, 200, 9, 1, 0, 0, 0, 0, 4, 5, 0, 1})));
    EXPECT_EQ(picture.at(0, 0), 0u);
    EXPECT_EQ(picture.at(1, 0), 0u);
}

TEST(BmpDecoderRle, StreamWithoutEndOfBitmapIsTruncated)
{
    EXPECT_EQ(reasonFor(build(rle8(4, 2, {4, 1, 0, 0, 4, 2}))),
              "truncated pixel data (RLE data ends without end-of-bitmap)");
    EXPECT_EQ(reasonFor(build(rle8(4, 2, {0, 4, 1, 2}))), // absolute run cut short
              "truncated pixel data (RLE data ends without end-of-bitmap)");
}

TEST(BmpDecoderRle, EndlessStreamIsCorrupt)
{
    Bytes stream;
    for (int i = 0; i < 2000; ++i)
        stream.insert(stream.end(), {0, 2, 0, 0}); // deltas that go nowhere
    EXPECT_TRUE(startsWith(reasonFor(build(rle8(1, 1, stream))), "corrupt RLE data"));
}

// ---------------------------------------------------------------------------
// Size caps: refused before the allocator is asked

TEST(BmpDecoderLimits, HugeHeaderIsRefusedWithoutAllocating)
{
    Spec s;
    s.width = 60000;
    s.height = 60000;
    s.pixels.resize(64);
    Picture picture;
    EXPECT_EQ(reasonFor(build(s), &picture), "dimensions too large (60000 x 60000)");
    EXPECT_EQ(picture.allocations, 0);
}

TEST(BmpDecoderLimits, RleClaimingAHugePictureInAFewBytesIsRefusedWithoutAllocating)
{
    Picture picture;
    EXPECT_TRUE(startsWith(reasonFor(build(rle8(8000, 8000, {0, 1})), &picture),
                           "dimensions too large (8000 x 8000 from 2 bytes of RLE data)"));
    EXPECT_EQ(picture.allocations, 0);

    // A small picture with a minimal stream is fine: all black.
    const Picture small = decodeBytes(build(rle8(256, 256, {0, 1})));
    EXPECT_EQ(small.at(255, 255), 0u);
}

TEST(BmpDecoderLimits, UncompressedPixelsMustBeInTheFile)
{
    Case c = makeCase(64, 64, 24, false);
    c.spec.pixels.resize(c.spec.pixels.size() - 1);
    Picture picture;
    EXPECT_EQ(reasonFor(build(c.spec), &picture), "truncated pixel data (12287 of 12288 bytes)");
    EXPECT_EQ(picture.allocations, 0);
}

// ---------------------------------------------------------------------------
// Failures and their reasons

Bytes goodPal8() { return build(makeCase(3, 2, 8, false).spec); }

TEST(BmpDecoderErrors, EachFailureNamesItsReason)
{
    const Bytes good = goodPal8();
    ASSERT_EQ(reasonFor(good), "");

    EXPECT_EQ(reasonFor(Bytes{}), "file is empty");
    EXPECT_EQ(reasonFor(Bytes{'G', 'I', 'F', '8', '9', 'a'}), "not a BMP file");
    EXPECT_EQ(reasonFor(Bytes(good.begin(), good.begin() + 30)), "truncated header");

    auto with = [&good](std::size_t at, std::uint32_t value, int size = 4) {
        Bytes b = good;
        size == 2 ? put16(b, at, value) : put32(b, at, value);
        return b;
    };
    EXPECT_EQ(reasonFor(with(18, 0)), "bad dimensions (0 x 2)");
    EXPECT_EQ(reasonFor(with(22, 0)), "bad dimensions (3 x 0)");
    EXPECT_EQ(reasonFor(with(18, 0xFFFFFFFD)), "bad dimensions (-3 x 2)");
    EXPECT_EQ(reasonFor(with(18, 40000000)), "dimensions too large (40000000 x 2)");
    EXPECT_EQ(reasonFor(with(22, 0x80000000)), "dimensions too large (3 x 2147483648)");
    EXPECT_EQ(reasonFor(with(28, 3, 2)), "unsupported bit depth (3)");
    EXPECT_EQ(reasonFor(with(28, 64, 2)), "unsupported bit depth (64)");
    EXPECT_EQ(reasonFor(with(26, 2, 2)), "unsupported bit depth (2 planes)");
    EXPECT_EQ(reasonFor(with(30, 7)), "unsupported compression (7)");
    EXPECT_EQ(reasonFor(with(30, 2)), "unsupported compression (RLE4 with 8 bits per pixel)");
    EXPECT_EQ(reasonFor(with(30, 3)), "unsupported compression (bit fields with 8 bits per pixel)");
    EXPECT_EQ(reasonFor(with(30, 4)), "unsupported compression (embedded JPEG)");
    EXPECT_EQ(reasonFor(with(30, 5)), "unsupported compression (embedded PNG)");
    EXPECT_EQ(reasonFor(with(46, 1000)), "bad palette (1000 colours for 8 bits per pixel)");
    EXPECT_EQ(reasonFor(with(14, 66)), "not a BMP file (unknown info header size 66)");
    EXPECT_EQ(reasonFor(with(10, 20)), "not a BMP file (pixel data offset 20 points into the headers)");
    EXPECT_EQ(reasonFor(with(10, std::uint32_t(good.size()))),
              "pixel data outside the file (offset " + std::to_string(good.size()) + ", file size "
                  + std::to_string(good.size()) + ")");
    EXPECT_EQ(reasonFor(Bytes(good.begin(), good.end() - 1)), "truncated pixel data (7 of 8 bytes)");
}

TEST(BmpDecoderErrors, BadMasksAreRefused)
{
    Spec s;
    s.bitsPerPixel = 16;
    s.compression = 3;
    s.pixels = {0, 0, 0, 0};
    s.masks = {0xF00F, 0x0F00, 0x00F0};
    EXPECT_EQ(reasonFor(build(s)), "unsupported compression (bit-field mask 0x0000f00f)");
    s.masks = {0x1F0000, 0x03E0, 0x001F};
    EXPECT_EQ(reasonFor(build(s)), "unsupported compression (bit-field mask 0x001f0000)");
    s.masks = {0, 0, 0};
    EXPECT_EQ(reasonFor(build(s)), "unsupported compression (all bit-field masks are 0)");
}

TEST(BmpDecoderErrors, FileProblemsNameThePath)
{
    fwtest::TempDir dir;
    const BmpAllocator never = [](int, int) -> std::uint8_t* { throw std::logic_error("allocated"); };
    auto messageFor = [&never](const QString& path) {
        try {
            DecodeBmpFile(path, never);
        } catch (const BmpError& e) {
            return std::string(e.what());
        }
        return std::string("decoded");
    };
    const QString missing = dir.file("missing.bmp");
    EXPECT_EQ(messageFor(missing), missing.toStdString() + ": file not found");
    const QString empty = writeFile(dir, "empty.bmp", {});
    EXPECT_EQ(messageFor(empty), empty.toStdString() + ": file is empty");
    EXPECT_EQ(messageFor(dir.path()), dir.path().toStdString() + ": cannot read file");
    const QString png = writeFile(dir, "photo.bmp", {0x89, 'P', 'N', 'G', 13, 10, 26, 10});
    EXPECT_EQ(messageFor(png), png.toStdString() + ": not a BMP file");
    const QString shortFile = writeFile(dir, "short.bmp", {'B', 'M', 0, 0});
    EXPECT_EQ(messageFor(shortFile), shortFile.toStdString() + ": truncated header");

    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    const QString locked = writeFile(dir, "locked.bmp", goodPal8());
    ASSERT_TRUE(QFile::setPermissions(locked, {}));
    EXPECT_EQ(messageFor(locked), locked.toStdString() + ": cannot read file");
}

struct AllocatorRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TEST(BmpDecoderErrors, AllocatorExceptionsPassThrough)
{
    fwtest::TempDir dir;
    const BmpAllocator refuse = [](int, int) -> std::uint8_t* { throw AllocatorRefused("no room"); };
    const Bytes shot = build(makeCase(9, 4, 24, false).spec);
    const Bytes rle = build(rle8(4, 2, {4, 1, 0, 1}));
    EXPECT_THROW(DecodeBmp(shot, "a.bmp", refuse), AllocatorRefused);
    EXPECT_THROW(DecodeBmp(rle, "a.bmp", refuse), AllocatorRefused);
    EXPECT_THROW(DecodeBmpFile(writeFile(dir, "shot.bmp", shot), refuse), AllocatorRefused);
    EXPECT_THROW(DecodeBmpFile(writeFile(dir, "rle.bmp", rle), refuse), AllocatorRefused);

    const BmpAllocator none = [](int, int) -> std::uint8_t* { return nullptr; };
    EXPECT_THROW(DecodeBmp(shot, "a.bmp", none), BmpError);
}

// ---------------------------------------------------------------------------
// Truncated and scrambled copies of the corpus

QStringList corpusFiles()
{
    QStringList files;
    for (const QString folder : {"g", "q", "b"}) {
        const QDir dir(corpusFile(folder));
        for (const QString& name : dir.entryList({"*.bmp"}, QDir::Files, QDir::Name))
            files << folder + "/" + name;
    }
    return files;
}

TEST(BmpDecoderRobustness, EveryCutOfAGoodFileIsAnError)
{
    // Uncompressed files end with their last row and RLE files with their
    // end-of-bitmap, so every shorter copy is missing something.
    fwtest::TempDir dir;
    const QString files[] = {"g/rgb24.bmp", "g/pal8.bmp", "g/pal8rle.bmp", "g/pal4rle.bmp",
                             "g/pal1.bmp", "g/rgb16-565.bmp", "g/rgb32bf.bmp", "g/pal8os2.bmp",
                             "g/pal8topdown.bmp", "g/pal8v5.bmp"};
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const Bytes whole = readBytes(corpusFile(file));
        // Every length through the headers and palette, then a sample of
        // the pixel data, then the last bytes one by one.
        for (std::size_t length = 0; length < whole.size();
             length += length < 1200 || length + 16 > whole.size() ? 1 : 7) {
            ASSERT_NE(reasonFor(std::span(whole).first(length)), "") << "cut at " << length;
            // The file path, including the straight read of 24-bit rows.
            if (length % 97 == 0 || length + 3 > whole.size()) {
                const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(length));
                Picture picture;
                EXPECT_THROW(DecodeBmpFile(writeFile(dir, "cut.bmp", cut), allocatorFor(picture)), BmpError)
                    << "cut at " << length;
            }
        }
    }
}

TEST(BmpDecoderRobustness, ScrambledCorpusFilesNeverEscapeTheBuffer)
{
    // Fixed seed: the same few thousand variants every run. Any decode is
    // fine as long as it stays inside its exact-size buffer (ASan) and asks
    // for no more memory than the file can describe.
    fwtest::TempDir dir;
    std::mt19937 random(20261206);
    int decoded = 0;
    int refused = 0;
    for (const QString& file : corpusFiles()) {
        const Bytes original = readBytes(corpusFile(file));
        for (int variant = 0; variant < 100; ++variant) {
            Bytes bytes = original;
            const int changes = 1 + int(random() % 4);
            for (int i = 0; i < changes; ++i) {
                // Mostly the headers and palette, sometimes the pixel data.
                const std::size_t span = variant % 2 ? bytes.size() : std::min<std::size_t>(bytes.size(), 80);
                const std::size_t at = random() % span;
                bytes[at] = variant % 3 ? std::uint8_t(random()) : std::uint8_t(bytes[at] ^ (1u << (random() % 8)));
            }
            if (variant % 5 == 4)
                bytes.resize(random() % bytes.size());
            Picture picture;
            try {
                if (variant % 10 == 0)
                    DecodeBmpFile(writeFile(dir, "scrambled.bmp", bytes), allocatorFor(picture));
                else
                    DecodeBmp(bytes, "scrambled.bmp", allocatorFor(picture));
                ++decoded;
            } catch (const BmpError&) {
                ++refused;
            }
            ASSERT_LE(picture.bytes.size(), 512 * bytes.size() + (1u << 20)) << file.toStdString();
        }
    }
    EXPECT_GT(decoded, 0);
    EXPECT_GT(refused, 0);
}

} // namespace
