#include "TempDir.h"
#include "TestUtil.h"
#include "engine/AppError.h"
#include "engine/cDIBSection.h"
#include "engine/mIntelJPEGLibrary.h"
#include "platform/Picture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>
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
    // A full disk (the JPEG needs more than 1000 bytes), a missing folder, no
    // picture.
    {
        const fwtest::FileSizeLimit full(1000);
        EXPECT_TRUE(failsAsItShould(dib, dir.file("full0000.JPG")));
    }
    EXPECT_TRUE(failsAsItShould(dib, dir.file("missing/dir/x.JPG")));
    EXPECT_TRUE(failsAsItShould(cDIBSection(), dir.file("e.JPG")));
    EXPECT_EQ(fwtest::dirEntries(dir.path()), QStringList{"source.bmp"}) << "temporary file left behind";
}
