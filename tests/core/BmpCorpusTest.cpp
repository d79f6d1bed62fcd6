// The BMP decoder against the bmpsuite corpus: good files match the suite's
// reference pictures, questionable ones decode or are refused cleanly, bad
// and truncated ones never get past the buffer. (Scrambled copies of the
// corpus are the fuzzer's: `make fuzz` starts from these files.)
#include "ReaderTestSupport.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

using namespace readertest;

namespace {

// FW_CORPUS_DIR, else ../shared/corpus/bmpsuite beside the source tree.
QString corpusRoot()
{
    const QByteArray overridden = qgetenv("FW_CORPUS_DIR");
    return overridden.isEmpty() ? QStringLiteral(FW_DEFAULT_CORPUS_DIR) : QString::fromLocal8Bit(overridden);
}

QString corpusFile(const QString& relative) { return corpusRoot() + '/' + relative; }

QStringList corpusFiles(const QString& folder)
{
    QStringList files;
    for (const QString& name : QDir(corpusFile(folder)).entryList({"*.bmp"}, QDir::Files, QDir::Name))
        files << folder + "/" + name;
    return files;
}

Bytes readBytes(const QString& path)
{
    const QByteArray data = fwtest::readAll(path);
    return Bytes(data.begin(), data.end());
}

// The corpus is not ours and may be absent: then its tests are skipped, or
// failed when FW_REQUIRE_CORPUS=1 (as in CI).
class BmpDecoderCorpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QDir(corpusFile("g")).exists())
            return;
        if (qgetenv("FW_REQUIRE_CORPUS") == "1")
            FAIL() << "FW_REQUIRE_CORPUS=1 but there is no bmpsuite corpus at " << corpusRoot().toStdString();
        GTEST_SKIP() << "bmpsuite corpus not found at " << QDir::cleanPath(corpusRoot()).toStdString()
                     << ": run its tests with FW_CORPUS_DIR=/path/to/bmpsuite make test";
    }
};

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
            const QRgb got = picture.at(x, y);
            worst = std::max({worst, std::abs(qRed(want) - qRed(got)), std::abs(qGreen(want) - qGreen(got)),
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
    return bmp.contains("7187") || bmp.contains("61754") || bmp.contains("81284") || bmp.contains("111110") ? 1 : 0;
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

Picture decodeCorpus(const QString& relative) { return decodeFile(corpusFile(relative)); }

// What the files that are refused say; every other file decodes.
const std::map<QString, std::string> kRefusals = {
    {"q/pal1huffmsb.bmp", "unsupported compression (OS/2 Huffman)"},
    {"q/rgb24jpeg.bmp", "unsupported compression (embedded JPEG)"},
    {"q/rgb24png.bmp", "unsupported compression (embedded PNG)"},
    {"q/rgba64.bmp", "unsupported bit depth (64)"},
    {"b/badbitcount.bmp", "unsupported bit depth (30000)"},
    {"b/badheadersize.bmp", "not a BMP file (unknown info header size 66)"},
    {"b/badpalettesize.bmp", "bad palette (305402420 colours for 8 bits per pixel)"},
    {"b/badplanes.bmp", "unsupported bit depth (30000 planes)"},
    {"b/badwidth.bmp", "bad dimensions (-127 x 64)"},
    {"b/reallybig.bmp", "dimensions too large (3000000 x 2000000)"},
    {"b/rletopdown.bmp", "unsupported compression (RLE stored top-down)"},
    {"b/shortfile.bmp", "truncated pixel data (211 of 1024 bytes)"},
};

} // namespace

// Good and questionable files that decode match one of their references;
// bad ones that decode have the suite's width.
TEST_F(BmpDecoderCorpus, EveryFileMatchesItsReferenceOrIsRefusedCleanly)
{
    for (const QString& bmp : corpusFiles("g") + corpusFiles("q") + corpusFiles("b")) {
        SCOPED_TRACE(bmp.toStdString());
        if (const auto refused = kRefusals.find(bmp); refused != kRefusals.end()) {
            EXPECT_EQ(reasonForFile(corpusFile(bmp)), refused->second);
            continue;
        }
        // Decoded: the writes stayed inside the exact-size vector (ASan).
        const Picture picture = decodeCorpus(bmp);
        EXPECT_TRUE(picture.padIsZero());
        EXPECT_EQ(decode(readBytes(corpusFile(bmp))).bytes, picture.bytes) << "from memory as from the file";
        EXPECT_TRUE(bmp.startsWith("b/") ? picture.width == 127 : pixelsMatchSomeReference(bmp, picture));
    }
}

TEST_F(BmpDecoderCorpus, EveryCutOfAGoodFileIsAnError)
{
    // Uncompressed files end with their last row and RLE files with their
    // end-of-bitmap, so every shorter copy is missing something.
    fwtest::TempDir dir;
    for (const QString file :
         {"g/rgb24.bmp", "g/pal8.bmp", "g/pal8rle.bmp", "g/pal4rle.bmp", "g/pal1.bmp", "g/rgb16-565.bmp",
          "g/rgb32bf.bmp", "g/pal8os2.bmp", "g/pal8topdown.bmp", "g/pal8v5.bmp"}) {
        SCOPED_TRACE(file.toStdString());
        const Bytes whole = readBytes(corpusFile(file));
        // Every length through the headers and palette, then a sample of
        // the pixel data, then the last bytes one by one.
        for (std::size_t length = 0; length < whole.size();
             length += length < 1200 || length + 16 > whole.size() ? 1 : 7) {
            ASSERT_NE(reasonFor(std::span(whole).first(length)), "") << "cut at " << length;
            // The file path too, including the straight read of 24-bit rows.
            if (length % 97 == 0 || length + 3 > whole.size()) {
                const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(length));
                EXPECT_NE(reasonForFile(writeBytes(dir.file("cut.bmp"), cut)), "") << "cut at " << length;
            }
        }
    }
}
