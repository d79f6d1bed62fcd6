#include "EngineTestUtil.h"
#include "TempDir.h"
#include "core/JpegEncoder.h"
#include "core/SafeFile.h"
#include "engine/AppError.h"
#include "engine/cDIBSection.h"
#include "engine/mIntelJPEGLibrary.h"
#include "platform/Picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>
#include <tuple>
#include <turbojpeg.h>

namespace {

// Fills an image from a QImage through the real loader path.
void load(cDIBSection& dib, const QImage& img, const fwtest::TempDir& dir)
{
    const QString path = dir.file("source.bmp");
    fwtest::writeBmp(path, img);
    dib.CreateFromPicture(LoadPicture(path));
    ASSERT_NE(dib.hDC(), 0u);
}

std::span<const std::uint8_t> bytesOf(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<std::size_t>(b.size())};
}

// What libjpeg-turbo makes of the image's buffer with the given flags.
QByteArray turboJpeg(const cDIBSection& dib, int quality, int flags)
{
    tjhandle compressor = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(compressor, dib.DIBSectionBitsPtr(), dib.Width(), dib.BytesPerScanLine(), dib.Height(), TJPF_BGR, &jpeg,
                &size, TJSAMP_444, quality, flags | TJFLAG_BOTTOMUP);
    QByteArray out(reinterpret_cast<const char*>(jpeg), static_cast<qsizetype>(size));
    tjFree(jpeg);
    tjDestroy(compressor);
    return out;
}

JpegEncoder::Pixels pixelsOf(const QImage& bgr)
{
    return {bgr.constBits(), bgr.width(), bgr.height(), static_cast<int>(bgr.bytesPerLine()), false};
}

// The frame header's marker: 0xC0 baseline, 0xC2 progressive; 0 when the
// segments before the picture data hold none.
int frameMarker(std::span<const std::uint8_t> jpeg)
{
    for (std::size_t i = 2; i + 4 <= jpeg.size() && jpeg[i] == 0xFF; i += 2 + (jpeg[i + 2] << 8 | jpeg[i + 3])) {
        const int marker = jpeg[i + 1];
        if (marker == 0xDA) // start of scan
            break;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker;
    }
    return 0;
}

QImage decoded(std::span<const std::uint8_t> jpeg)
{
    return QImage::fromData(jpeg.data(), static_cast<int>(jpeg.size()), "JPG");
}

} // namespace

// The file holds exactly what the chosen settings give, at every row
// alignment: 4:4:4, baseline, the accurate DCT, the standard Huffman tables
// (docs/jpeg-defaults.md), the quality passed unchanged (0 as the encoder's
// lowest, 1).
TEST(JpegWriter, WritesTheChosenEncoderSettingsAtEveryRowAlignment)
{
    const fwtest::TempDir dir;
    for (const QSize size : {QSize(1, 1), QSize(2, 3), QSize(3, 5), QSize(4, 2), QSize(157, 93)}) {
        const QImage img = fwtest::testPattern(size.width(), size.height());
        cDIBSection dib;
        load(dib, img, dir);
        for (const auto& [quality, turboQuality] : {std::pair{0, 1}, {90, 90}, {100, 100}}) {
            const QString out = dir.file(QString("%1-%2.JPG").arg(size.width()).arg(quality));
            ASSERT_EQ(SaveToNewJPG(dib, out, quality), NewJpg::Written);
            const QByteArray accurate = turboJpeg(dib, turboQuality, TJFLAG_ACCURATEDCT);
            EXPECT_EQ(fwtest::readAll(out), accurate) << size.width() << "x" << size.height() << " q" << quality;
            if (quality == 90 && size.width() > 100) { // where the two DCTs differ
                EXPECT_NE(turboJpeg(dib, turboQuality, TJFLAG_FASTDCT), accurate);
            }
        }
        // Decoded by another reader: upright, channels in order.
        const QImage decoded = fwtest::decodeJpeg(dir.file(QString("%1-100.JPG").arg(size.width())));
        EXPECT_LT(fwtest::meanChannelDiff(decoded, img), 2.0) << size.width() << "x" << size.height();
    }
}

// The codings write the same quantised picture in other ways: each file
// decodes to exactly the pixels of the standard tables' file (the one pinned
// above), and the optimised ones are smaller.
TEST(JpegWriter, EveryCodingDecodesToTheStandardTablesPixels)
{
    using Coding = JpegEncoder::Coding;
    const std::tuple<const char*, Coding, int> rows[] = {
        // name, coding, frame marker
        {"optimised tables", Coding::OptimisedTables, 0xC0}, // baseline
        {"progressive", Coding::Progressive, 0xC2},
    };
    // Noise reaches the longest Huffman codes; a gradient the longest runs of zeros.
    QImage noise(68, 45, QImage::Format_BGR888); // whole 32-bit words per row
    QRandomGenerator rng(5);
    for (int y = 0; y < noise.height(); ++y)
        rng.fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), noise.width() * 3 / 4);
    const std::pair<const char*, QImage> pictures[] = {
        {"gradient", fwtest::testPattern(157, 93).convertToFormat(QImage::Format_BGR888)},
        {"noise", noise},
        {"one pixel", fwtest::testPattern(1, 1).convertToFormat(QImage::Format_BGR888)},
    };
    JpegEncoder standard(Coding::StandardTables);
    for (const auto& [label, coding, marker] : rows) {
        JpegEncoder encoder(coding);
        for (const auto& [name, picture] : pictures) {
            for (int quality : {50, 90, 100}) {
                const auto reference = standard.encode(pixelsOf(picture), quality);
                const QImage expected = decoded(reference);
                const std::size_t referenceSize = reference.size();
                const auto jpeg = encoder.encode(pixelsOf(picture), quality);
                SCOPED_TRACE(std::string(label) + ", " + name + ", q" + std::to_string(quality));
                ASSERT_FALSE(expected.isNull());
                EXPECT_EQ(decoded(jpeg), expected);
                EXPECT_LT(jpeg.size(), referenceSize);
                EXPECT_EQ(frameMarker(jpeg), marker);
            }
        }
    }
}

// Every failure raises this module's error 26001 and leaves no file behind.
TEST(JpegWriter, FailedWritesRaiseAndLeaveNothing)
{
    const fwtest::TempDir dir;
    cDIBSection dib;
    load(dib, fwtest::testPattern(300, 200), dir);
    const QString module = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".mIntelJPEGLibrary";
    const auto failsAsItShould = [&module](const cDIBSection& image, const QString& target) {
        try {
            SaveToNewJPG(image, target, 95);
        } catch (const AppError& e) {
            return e.number() == 26001 && e.source() == module && e.description().startsWith("Failed to save to JPG -");
        }
        return false;
    };
    // A full disk: the JPEG needs more than 1000 bytes.
    {
        const fwtest::FileSizeLimit full(1000);
        EXPECT_TRUE(failsAsItShould(dib, dir.file("full0000.JPG")));
    }
    EXPECT_TRUE(failsAsItShould(dib, dir.file("missing/dir/x.JPG")));
    EXPECT_TRUE(failsAsItShould(cDIBSection(), dir.file("e.JPG")));

    // A read-only directory, for a user the permission bits bind.
    ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.file("ro")).constData(), 0555), 0);
    EXPECT_EQ(fwtest::runAsNobody([&] { return failsAsItShould(dib, dir.file("ro/x.JPG")) ? 0 : 1; }), 0);
    EXPECT_TRUE(fwtest::dirEntries(dir.file("ro")).isEmpty());
    EXPECT_EQ(fwtest::dirEntries(dir.path()), (QStringList{"ro", "source.bmp"})) << "temporary file left behind";
}

// Any entry that has the name, whatever it is, stays as it was.
TEST(SafeFileTest, NoReplaceNeverTakesAnExistingName)
{
    const fwtest::TempDir dir;
    const QByteArray jpeg(5000, 'j');
    fwtest::writeAll(dir.file("file"), "mine");
    ASSERT_TRUE(QDir(dir.path()).mkdir("directory"));
    ASSERT_TRUE(QFile::link(dir.file("file"), dir.file("link")));
    ASSERT_TRUE(QFile::link(dir.file("nowhere"), dir.file("dangling")));
    for (const char* name : {"file", "directory", "link", "dangling"}) {
        const SafeFile::Result r = SafeFile::write(dir.file(name), bytesOf(jpeg), SafeFile::Publish::NoReplace);
        EXPECT_EQ(r.outcome, SafeFile::Outcome::NameTaken) << name;
    }
    EXPECT_EQ(fwtest::readAll(dir.file("file")), "mine");
    EXPECT_FALSE(QFile::exists(dir.file("nowhere")));

    // A name as long as the file system allows: the temporary name is short.
    const QString longest = dir.file(QString(251, 'n') + ".JPG");
    const SafeFile::Result r = SafeFile::write(longest, bytesOf(jpeg), SafeFile::Publish::NoReplace);
    EXPECT_EQ(r.outcome, SafeFile::Outcome::Written) << r.error.toStdString();
    EXPECT_EQ(fwtest::readAll(longest), jpeg);
    EXPECT_EQ(fwtest::dirEntries(dir.path()).size(), 5) << "temporary file left behind";
}
