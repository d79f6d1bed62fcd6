// The TGA reader on files built here in every supported form, on files
// GraphicsMagick and netpbm write, and on a hostile set. The allocator hands
// out exactly the promised size and fills it with stale bytes first, so a
// stray write shows under ASan and an unwritten byte in the comparison.
#include "BmpTestSupport.h"
#include "TempDir.h"
#include "engine/tga/TgaDecoder.h"

#include <QDir>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace bmptest;

namespace {

struct Header {
    int idLength = 0, mapType = 0, type = 2, mapFirst = 0, mapLength = 0, mapBits = 0;
    int width = 5, height = 3, bits = 24, descriptor = 0;

    Bytes bytes() const
    {
        const auto lo = [](int v) { return std::uint8_t(v); };
        const auto hi = [](int v) { return std::uint8_t(v >> 8); };
        return {lo(idLength), lo(mapType), lo(type), lo(mapFirst), hi(mapFirst), lo(mapLength), hi(mapLength),
                lo(mapBits), 0, 0, 0, 0, lo(width), hi(width), lo(height), hi(height), lo(bits), lo(descriptor)};
    }
};

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The looks of the three kinds, y counted from the top; columns come in
// threes so that RLE finds runs, and no look is symmetric.
std::uint32_t rgbAt(int x, int y)
{
    x -= x % 3;
    return std::uint32_t((x * 37 + y * 11) & 0xFF) << 16 | std::uint32_t((x * 5 + y * 71) & 0xFF) << 8
        | std::uint32_t((x * 113 + y * 3 + 7) & 0xFF);
}
int greyAt(int x, int y) { return (x / 3 * 29 + y * 13) & 0xFF; }
int indexAt(int x, int y) { return (x / 2 + y * 7) % 50; }
std::uint32_t paletteColour(int i) { return rgbAt(3 * i, 2 * i) ^ 0x400000; }

Bytes bgr(std::uint32_t rgb) { return {std::uint8_t(rgb), std::uint8_t(rgb >> 8), std::uint8_t(rgb >> 16)}; }

Bytes encodeRle(const std::vector<Bytes>& pixels) // packets run on across rows
{
    Bytes out;
    for (std::size_t i = 0, n = 1; i < pixels.size(); i += n, n = 1) {
        while (i + n < pixels.size() && n < 128 && pixels[i + n] == pixels[i])
            ++n;
        if (n > 1) {
            out = out + Bytes{std::uint8_t(0x80 | (n - 1))} + pixels[i];
            continue;
        }
        while (i + n < pixels.size() && n < 128 && pixels[i + n] != pixels[i + n - 1])
            ++n;
        out.push_back(std::uint8_t(n - 1));
        for (std::size_t k = i; k < i + n; ++k)
            out = out + pixels[k];
    }
    return out;
}

using Look = std::function<std::uint32_t(int x, int y)>;

struct Form {
    const char* name;
    int type, bits, mapBits;
    std::function<Bytes(int x, int y)> stored;
    Look look;
};

const Form kForms[] = {
    {"true 24", 2, 24, 0, [](int x, int y) { return bgr(rgbAt(x, y)); }, rgbAt},
    {"true 32", 2, 32, 0, [](int x, int y) { return bgr(rgbAt(x, y)) + Bytes{0x80}; }, rgbAt},
    {"grey", 3, 8, 0, [](int x, int y) { return Bytes{std::uint8_t(greyAt(x, y))}; },
     [](int x, int y) { return 0x010101u * std::uint32_t(greyAt(x, y)); }},
    {"map 24", 1, 8, 24, [](int x, int y) { return Bytes{std::uint8_t(indexAt(x, y) + 7)}; },
     [](int x, int y) { return paletteColour(indexAt(x, y)); }},
    {"map 32", 1, 8, 32, [](int x, int y) { return Bytes{std::uint8_t(indexAt(x, y) + 7)}; },
     [](int x, int y) { return paletteColour(indexAt(x, y)); }},
};

// Mapped forms carry 50 entries standing for indices 7 to 56; the others a
// 16-bit map to skip when the height is odd. Every width but 4 brings an ID.
Bytes craft(const Form& f, int width, int height, bool rle, int descriptor)
{
    Header h{.idLength = width % 4, .type = f.type + (rle ? 8 : 0), .width = width, .height = height,
             .bits = f.bits, .descriptor = descriptor};
    Bytes map;
    if (f.mapBits) {
        h = {h.idLength, 1, h.type, 7, 50, f.mapBits, width, height, 8, descriptor};
        for (int i = 0; i < 50; ++i)
            map = map + bgr(paletteColour(i)) + Bytes(std::size_t(f.mapBits / 8 - 3), 0xFF);
    } else if (height % 2) {
        h = {h.idLength, 1, h.type, 0, 9, 16, width, height, f.bits, descriptor};
        map = Bytes(18, 0x5A);
    }
    std::vector<Bytes> pixels;
    for (int row = 0; row < height; ++row)
        for (int i = 0; i < width; ++i)
            pixels.push_back(f.stored(descriptor & 0x10 ? width - 1 - i : i,
                                      descriptor & 0x20 ? row : height - 1 - row));
    Bytes stored;
    for (const Bytes& p : pixels)
        stored = stored + p;
    return h.bytes() + Bytes(std::size_t(h.idLength), 'I') + map + (rle ? encodeRle(pixels) : stored);
}

BmpAllocator allocatorFor(Picture& picture)
{
    return [&picture](int width, int height) {
        ++picture.allocations;
        picture.width = width;
        picture.height = height;
        picture.bytes.assign(std::size_t(picture.stride()) * height, 0xAB);
        return picture.bytes.data();
    };
}

// Decodes from memory, keeping the bytes as a fuzzer seed when
// FW_TGA_SEED_DIR is set; returns the reason of a refusal, "" on success.
std::string decode(const Bytes& bytes, Picture& picture)
{
    if (const QByteArray dir = qgetenv("FW_TGA_SEED_DIR"); !dir.isEmpty()) {
        const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        fwtest::writeAll(QString::fromLocal8Bit(dir) + '/' + QString::number(qHash(data), 16) + ".tga", data);
    }
    try {
        DecodeTga(bytes, "crafted.tga", allocatorFor(picture));
    } catch (const TgaError& e) {
        return e.reason();
    }
    return "";
}

void expectLook(const Picture& picture, int width, int height, const Look& look)
{
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(picture.at(x, y), look(x, y)) << "x " << x << " y " << y;
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
                    SCOPED_TRACE(std::string(form.name) + (rle ? " RLE " : " plain ") + std::to_string(width) + " x "
                                 + std::to_string(height) + " descriptor " + std::to_string(descriptor));
                    const Bytes bytes = craft(form, width, height, rle, descriptor);
                    Picture picture;
                    ASSERT_EQ(decode(bytes, picture), "");
                    expectLook(picture, width, height, form.look);
                    Picture fromFile;
                    DecodeTgaFile(writeBytes(dir.file("a.tga"), bytes), allocatorFor(fromFile));
                    expectLook(fromFile, width, height, form.look);
                }
}

// Other programs' files of a known picture: a colour one of 50 colours (so
// that every writer can map it) and a grey one.
void expectWriterReads(const QString& program, const std::vector<std::pair<QStringList, int>>& cases)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        GTEST_SKIP() << program.toStdString() << " not installed (scripts/install-deps.sh adds it)";
    fwtest::TempDir dir;
    const int width = 35, height = 39;
    const Look colour = kForms[3].look, grey = kForms[2].look;
    for (const auto& [args, type] : cases) {
        SCOPED_TRACE(program.toStdString() + " " + args.join(' ').toStdString());
        const Look& look = args.contains("-mono") || args.contains("Grayscale") ? grey : colour;
        QByteArray ppm = "P6 35 39 255\n";
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (const int shift : {16, 8, 0})
                    ppm.append(char(look(x, y) >> shift));
        fwtest::writeAll(dir.file("in.ppm"), ppm);
        QProcess process;
        if (!args.join(' ').contains("%out")) // ppmtotga writes to stdout
            process.setStandardOutputFile(dir.file("out.tga"));
        process.start(program, QStringList(args).replaceInStrings("%in", dir.file("in.ppm"))
                                   .replaceInStrings("%out", dir.file("out.tga")));
        ASSERT_TRUE(process.waitForFinished() && process.exitCode() == 0) << process.readAllStandardError().data();
        ASSERT_EQ(fwtest::readAll(dir.file("out.tga")).at(2), type);
        Picture picture;
        DecodeTgaFile(dir.file("out.tga"), allocatorFor(picture));
        expectLook(picture, width, height, look);
    }
}

// GraphicsMagick 1.3.40 writes no RLE: asked for it, it writes type 2.
TEST(TgaDecoderWriters, GraphicsMagick)
{
    expectWriterReads("gm", {{{"convert", "%in", "-compress", "None", "tga:%out"}, 2},
                             {{"convert", "%in", "-compress", "RLE", "tga:%out"}, 2},
                             {{"convert", "%in", "-type", "Grayscale", "tga:%out"}, 3},
                             {{"convert", "%in", "-type", "Palette", "tga:%out"}, 1}});
}

TEST(TgaDecoderWriters, NetpbmPpmtotga)
{
    expectWriterReads("ppmtotga", {{{"-rgb", "%in"}, 10}, {{"-rgb", "-norle", "%in"}, 2}, {{"-mono", "%in"}, 11},
                                   {{"-mono", "-norle", "%in"}, 3}, {{"-cmap", "%in"}, 9}, {{"-cmap", "-norle", "%in"}, 1}});
}

// Only a broken stream or colour index is found after the picture is
// allocated; the buffer then holds zeros, never the stale bytes.
TEST(TgaDecoderErrors, EveryHostileFileIsRefusedWithItsReason)
{
    const Bytes good = craft(kForms[0], 5, 3, false, 0);
    const auto cut = [](const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.end() - std::ptrdiff_t(n)); };
    const Bytes rle5x3 = Header{.type = 10}.bytes();
    const Bytes map16 = Header{.mapType = 1, .type = 1, .mapLength = 16, .mapBits = 24, .bits = 8}.bytes() + Bytes(48, 9);
    const Bytes map16from10 = Header{.mapType = 1, .type = 1, .mapFirst = 10, .mapLength = 16, .mapBits = 24, .bits = 8}.bytes() + Bytes(48, 9);
    const struct {
        Bytes bytes;
        std::string reason;
    } cases[] = {
        {{}, "file is empty"},
        {{'B', 'M', 0x36, 0, 0, 0}, "not a TGA file (colour map type 77)"},
        {Header{.type = 5}.bytes(), "not a TGA file (image type 5)"},
        {cut(Header{}.bytes(), 1), "truncated header"},
        {Header{.width = 0}.bytes(), "bad dimensions (0 x 3)"},
        {Header{.height = 0}.bytes(), "bad dimensions (5 x 0)"},
        {Header{.width = 65535, .height = 65535}.bytes(), "dimensions too large (65535 x 65535)"},
        {Header{.type = 10, .width = 8000, .height = 8000}.bytes() + Bytes(12, 0xFF), "truncated pixel data (12 bytes of RLE data for 8000 x 8000 pixels)"},
        {Header{.type = 0}.bytes(), "unsupported image type (0: no image data)"},
        {Header{.type = 32}.bytes(), "unsupported image type (32: Huffman-coded)"},
        {Header{.descriptor = 0x40}.bytes(), "unsupported image type (interleaved rows)"},
        {Header{.bits = 16}.bytes(), "unsupported bit depth (16 bits per pixel, true colour)"},
        {Header{.type = 3, .bits = 24}.bytes(), "unsupported bit depth (24 bits per pixel, greyscale)"},
        {Header{.mapType = 1, .type = 1, .mapLength = 2, .mapBits = 24, .bits = 16}.bytes(), "unsupported bit depth (16 bits per pixel, colour-mapped)"},
        {Header{.mapType = 1, .type = 1, .mapLength = 2, .mapBits = 16, .bits = 8}.bytes(), "unsupported bit depth (16-bit colour map entries)"},
        {Header{.type = 1, .bits = 8}.bytes(), "bad colour map (none in a colour-mapped picture)"},
        {Header{.mapType = 1, .type = 1, .mapBits = 24, .bits = 8}.bytes(), "bad colour map (no entries)"},
        {Header{.mapType = 1, .type = 1, .mapLength = 2, .mapBits = 7, .bits = 8}.bytes(), "bad colour map (7-bit entries)"},
        {Header{.mapType = 1, .type = 1, .mapFirst = 256, .mapLength = 2, .mapBits = 24, .bits = 8}.bytes(), "bad colour map (first entry stands for index 256, past the 8-bit indices)"},
        {Header{.idLength = 200}.bytes() + Bytes(50, 0), "truncated header (image ID and colour map end at byte 218, file size 68)"},
        {cut(map16, 1), "truncated header (image ID and colour map end at byte 66, file size 65)"},
        {cut(good, 1), "truncated pixel data (44 of 45 bytes)"},
        {map16 + Bytes(14, 3) + Bytes{200}, "bad colour map (index 200 outside entries 0 to 15)"},
        {map16from10 + Bytes(14, 12) + Bytes{9}, "bad colour map (index 9 outside entries 10 to 25)"},
        {rle5x3 + Bytes{0x89, 1, 2, 3, 0x04, 1, 2, 3, 4, 5, 6}, "truncated pixel data (RLE data ends at pixel 10 of 15)"},
        {rle5x3 + Bytes{0x8D, 1, 2, 3, 0x81, 4, 5, 6}, "corrupt RLE data (packet of 2 pixels at pixel 14 of 15)"},
        {rle5x3 + Bytes{0x8D, 1, 2, 3, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "corrupt RLE data (packet of 3 pixels at pixel 14 of 15)"},
        {rle5x3 + Bytes{0x86, 1, 2, 3, 0x86, 4, 5, 6, 0x80, 7, 8, 9}, ""}, // runs across rows, then the last pixel
    };
    for (const auto& c : cases) {
        Picture picture;
        EXPECT_EQ(decode(c.bytes, picture), c.reason);
        const bool late = c.reason.empty() || c.reason.find("RLE data ends") != std::string::npos
            || c.reason.find("corrupt") != std::string::npos || c.reason.find("(index ") != std::string::npos;
        EXPECT_EQ(picture.allocations, late ? 1 : 0) << c.reason;
        if (!c.reason.empty()) {
            EXPECT_EQ(std::count(picture.bytes.begin(), picture.bytes.end(), 0), std::ptrdiff_t(picture.bytes.size()));
        }
    }
}

struct AllocatorRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TEST(TgaDecoderErrors, FilesAndAllocatorFailures)
{
    fwtest::TempDir dir;
    const QString rle = writeBytes(dir.file("rle.tga"), craft(kForms[0], 35, 39, true, 0x20));
    const std::pair<QString, std::string> cases[] = {
        {dir.file("missing.tga"), "file not found"},
        {dir.path(), "cannot read file"},
        {writeBytes(dir.file("empty.tga"), {}), "file is empty"},
        {writeBytes(dir.file("short.tga"), {0, 0, 2, 0}), "truncated header"},
    };
    for (const auto& [path, reason] : cases) {
        Picture picture;
        try {
            DecodeTgaFile(path, allocatorFor(picture));
            ADD_FAILURE() << "decoded " << path.toStdString();
        } catch (const TgaError& e) {
            EXPECT_EQ(e.what(), path.toStdString() + ": " + reason);
        }
    }
    const BmpAllocator refuse = [](int, int) -> std::uint8_t* { throw AllocatorRefused("no room"); };
    EXPECT_THROW(DecodeTgaFile(rle, refuse), AllocatorRefused);
    EXPECT_THROW(DecodeTgaFile(rle, [](int, int) -> std::uint8_t* { return nullptr; }), TgaError);

    // The size rule sees a picture's own size, not its compressed file's.
    const std::optional<TgaSize> size = ReadTgaSize(rle);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->bitmapFileBytes(), 54 + 108 * 39);
    EXPECT_FALSE(ReadTgaSize(dir.file("missing.tga")));
    EXPECT_FALSE(ReadTgaSize(dir.file("short.tga")));
}
