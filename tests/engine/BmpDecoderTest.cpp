// The BMP decoder against the bmpsuite corpus: good files match the suite's
// reference pictures, questionable ones decode or are refused cleanly, bad
// ones never get past the buffer.
#include "TempDir.h"
#include "engine/bmp/BmpDecoder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTextStream>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

QString corpusFile(const QString& relative)
{
    return fwtest::corpusPath(relative);
}

// A decoded picture in the decoder's own layout; the vector is exactly the
// size the decoder was promised, so ASan sees any write past it.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;

    int stride() const { return (width * 3 + 3) & ~3; }
    // Colour at column x of row y counted from the top, as 0xRRGGBB.
    QRgb rgbAt(int x, int y) const
    {
        const std::uint8_t* p = bytes.data() + std::size_t(height - 1 - y) * stride() + 3 * x;
        return qRgb(p[2], p[1], p[0]);
    }
};

BmpAllocator allocatorFor(Picture& picture)
{
    return [&picture](int width, int height) {
        picture.width = width;
        picture.height = height;
        picture.bytes.assign(std::size_t(picture.stride()) * height, 0xAB);
        return picture.bytes.data();
    };
}

Picture decodeCorpus(const QString& relative)
{
    Picture picture;
    DecodeBmpFile(corpusFile(relative), allocatorFor(picture));
    return picture;
}

QStringList corpusFiles(const QString& folder)
{
    const QDir dir(corpusFile(folder));
    QStringList files;
    for (const QString& name : dir.entryList({"*.bmp"}, QDir::Files, QDir::Name))
        files << folder + "/" + name;
    return files;
}

// ref/MAP.tsv: BMP (relative to the corpus) -> reference alternatives.
const std::map<QString, QStringList>& referenceMap()
{
    static const std::map<QString, QStringList> map = [] {
        std::map<QString, QStringList> rows;
        QFile file(corpusFile("ref/MAP.tsv"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return rows;
        QTextStream in(&file);
        in.readLine(); // column names
        while (!in.atEnd()) {
            const QStringList columns = in.readLine().split('\t');
            if (columns.size() >= 2)
                rows[columns[0]] = columns[1].split('|');
        }
        return rows;
    }();
    return map;
}

// Largest per-channel difference over the pixels the reference shows
// opaque; -1 when the sizes differ. A reference with alpha shows other
// colours under its transparent pixels, so those are not compared.
int maxDifference(const Picture& picture, const QString& refName, int* comparedPixels = nullptr)
{
    const QImage ref = QImage(corpusFile("ref/" + refName)).convertToFormat(QImage::Format_ARGB32);
    if (ref.width() != picture.width || ref.height() != picture.height)
        return -1;
    int worst = 0;
    int compared = 0;
    for (int y = 0; y < ref.height(); ++y) {
        for (int x = 0; x < ref.width(); ++x) {
            const QRgb want = ref.pixel(x, y);
            if (qAlpha(want) != 255)
                continue;
            const QRgb got = picture.rgbAt(x, y);
            worst = std::max({worst, std::abs(qRed(want) - qRed(got)),
                              std::abs(qGreen(want) - qGreen(got)),
                              std::abs(qBlue(want) - qBlue(got))});
            ++compared;
        }
    }
    if (comparedPixels)
        *comparedPixels = compared;
    return worst;
}

// Our scaling, round(v * 255 / max), is the references' own, so most
// files match exactly. A reference reduced from 16 bits per channel, and the
// 11/11/10-bit file (whose 8-bit source was widened by another rule), may
// differ by 1.
int toleranceFor(const QString& bmp)
{
    return bmp.contains("7187") || bmp.contains("61754") || bmp.contains("81284")
            || bmp.contains("111110")
        ? 1
        : 0;
}

bool pixelsMatchSomeReference(const QString& bmp, const Picture& picture)
{
    for (const QString& ref : referenceMap().at(bmp)) {
        int compared = 0;
        const int diff = maxDifference(picture, ref, &compared);
        if (diff >= 0 && diff <= toleranceFor(bmp) && compared > 0)
            return true;
    }
    return false;
}

std::string reasonOf(const QString& relative)
{
    try {
        decodeCorpus(relative);
    } catch (const BmpError& e) {
        const std::string what = e.what();
        const std::string prefix = corpusFile(relative).toStdString() + ": ";
        return what.rfind(prefix, 0) == 0 ? what.substr(prefix.size()) : "(no file name) " + what;
    }
    return "";
}

TEST(BmpDecoderCorpus, CorpusIsComplete)
{
    EXPECT_EQ(corpusFiles("g").size(), 27);
    EXPECT_EQ(corpusFiles("q").size(), 41);
    EXPECT_EQ(corpusFiles("b").size(), 20);
    EXPECT_EQ(referenceMap().size(), 68u);
}

TEST(BmpDecoderCorpus, EveryGoodFileMatchesItsReference)
{
    for (const QString& bmp : corpusFiles("g")) {
        SCOPED_TRACE(bmp.toStdString());
        const Picture picture = decodeCorpus(bmp);
        // The non-square picture is compared with its unstretched reference.
        const QString ref = referenceMap().at(bmp).front();
        int compared = 0;
        EXPECT_LE(maxDifference(picture, ref, &compared), toleranceFor(bmp)) << ref.toStdString();
        EXPECT_EQ(compared, picture.width * picture.height);
    }
}

TEST(BmpDecoderCorpus, GoodFilesDecodeTheSameFromMemory)
{
    for (const QString& bmp : corpusFiles("g")) {
        SCOPED_TRACE(bmp.toStdString());
        const Picture fromFile = decodeCorpus(bmp);
        const QByteArray bytes = fwtest::readAll(corpusFile(bmp));
        Picture fromMemory;
        DecodeBmp({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())},
                  bmp, allocatorFor(fromMemory));
        EXPECT_EQ(fromFile.bytes, fromMemory.bytes);
    }
}

TEST(BmpDecoderCorpus, PadBytesAreZero)
{
    for (const QString& bmp : {QString("g/pal8w125.bmp"), QString("g/pal8w126.bmp"),
                               QString("g/rgb24.bmp"), QString("g/pal8rle.bmp")}) {
        SCOPED_TRACE(bmp.toStdString());
        const Picture picture = decodeCorpus(bmp);
        for (int row = 0; row < picture.height; ++row)
            for (int i = picture.width * 3; i < picture.stride(); ++i)
                ASSERT_EQ(picture.bytes[std::size_t(row) * picture.stride() + i], 0);
    }
}

// What each questionable file does: decoded (matching one of its references)
// or refused with the reason given here.
const std::map<QString, std::string>& questionableRefusals()
{
    static const std::map<QString, std::string> refusals = {
        {"q/pal1huffmsb.bmp", "unsupported compression (OS/2 Huffman)"},
        {"q/rgb24jpeg.bmp", "unsupported compression (embedded JPEG)"},
        {"q/rgb24png.bmp", "unsupported compression (embedded PNG)"},
        {"q/rgba64.bmp", "unsupported bit depth (64)"},
    };
    return refusals;
}

TEST(BmpDecoderCorpus, QuestionableFilesDecodeOrAreRefusedCleanly)
{
    for (const QString& bmp : corpusFiles("q")) {
        SCOPED_TRACE(bmp.toStdString());
        const auto refused = questionableRefusals().find(bmp);
        if (refused != questionableRefusals().end()) {
            EXPECT_EQ(reasonOf(bmp), refused->second);
            continue;
        }
        const Picture picture = decodeCorpus(bmp);
        EXPECT_TRUE(pixelsMatchSomeReference(bmp, picture));
    }
}

const std::map<QString, std::string>& badRefusals()
{
    static const std::map<QString, std::string> refusals = {
        {"b/badbitcount.bmp", "unsupported bit depth (30000)"},
        {"b/badheadersize.bmp", "not a BMP file (unknown info header size 66)"},
        {"b/badpalettesize.bmp", "bad palette (305402420 colours for 8 bits per pixel)"},
        {"b/badplanes.bmp", "unsupported bit depth (30000 planes)"},
        {"b/badwidth.bmp", "bad dimensions (-127 x 64)"},
        {"b/reallybig.bmp", "dimensions too large (3000000 x 2000000)"},
        {"b/rletopdown.bmp", "unsupported compression (RLE stored top-down)"},
        {"b/shortfile.bmp", "truncated pixel data (211 of 1024 bytes)"},
    };
    return refusals;
}

TEST(BmpDecoderCorpus, BadFilesAreRefusedOrStayInsideTheBuffer)
{
    for (const QString& bmp : corpusFiles("b")) {
        SCOPED_TRACE(bmp.toStdString());
        const auto refused = badRefusals().find(bmp);
        if (refused != badRefusals().end()) {
            EXPECT_EQ(reasonOf(bmp), refused->second);
            continue;
        }
        // Decoded: the writes stayed inside the exact-size vector (ASan).
        const Picture picture = decodeCorpus(bmp);
        EXPECT_EQ(picture.width, 127);
    }
}

TEST(BmpDecoderCorpus, IndicesPastTheEndOfThePaletteAreBlack)
{
    const Picture picture = decodeCorpus("b/pal8badindex.bmp");
    const Picture reference = decodeCorpus("g/pal8.bmp");
    const QByteArray bytes = fwtest::readAll(corpusFile("b/pal8badindex.bmp"));
    const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const std::uint32_t offset = raw[10] | raw[11] << 8 | raw[12] << 16 | raw[13] << 24;
    int blackened = 0;
    for (int row = 0; row < picture.height; ++row) {
        for (int x = 0; x < picture.width; ++x) {
            const int index = raw[offset + std::size_t(row) * 128 + x];
            const QRgb got = picture.rgbAt(x, picture.height - 1 - row);
            if (index >= 101) {
                EXPECT_EQ(got, qRgb(0, 0, 0));
                ++blackened;
            } else {
                EXPECT_EQ(got, reference.rgbAt(x, picture.height - 1 - row));
            }
        }
    }
    EXPECT_GT(blackened, 0);
}

TEST(BmpDecoderCorpus, UndefinedRlePixelsStayBlack)
{
    for (const QString& bmp : {QString("q/pal4rletrns.bmp"), QString("q/pal8rletrns.bmp"),
                               QString("q/pal4rlecut.bmp"), QString("q/pal8rlecut.bmp")}) {
        SCOPED_TRACE(bmp.toStdString());
        const Picture picture = decodeCorpus(bmp);
        const QString black = QString(bmp).remove("q/").replace(".bmp", "-b.png");
        EXPECT_EQ(maxDifference(picture, black), 0);
    }
}

} // namespace
