#include "EngineTestUtil.h"
#include "TempDir.h"
#include "engine/AppError.h"
#include "engine/SafeFile.h"
#include "engine/cDIBSection.h"
#include "engine/mIntelJPEGLibrary.h"
#include "engine/platform/Picture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
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
    tjCompress2(compressor, dib.DIBSectionBitsPtr(), dib.Width(), dib.BytesPerScanLine(), dib.Height(), TJPF_BGR,
                &jpeg, &size, TJSAMP_444, quality, flags | TJFLAG_BOTTOMUP);
    QByteArray out(reinterpret_cast<const char*>(jpeg), static_cast<qsizetype>(size));
    tjFree(jpeg);
    tjDestroy(compressor);
    return out;
}

} // namespace

TEST(JpegWriter, RoundTripKeepsPixelsOrientationAndChannelsAtEveryRowAlignment)
{
    const fwtest::TempDir dir;
    for (const QSize size : {QSize(1, 1), QSize(2, 3), QSize(3, 5), QSize(5, 7), QSize(35, 39), QSize(101, 13)}) {
        const QImage img = fwtest::testPattern(size.width(), size.height());
        cDIBSection dib;
        load(dib, img, dir);
        const QString out = dir.file("out.JPG");
        ASSERT_TRUE(SaveToJPG(dib, out, 100));
        const QImage decoded = fwtest::decodeJpeg(out);
        ASSERT_EQ(decoded.size(), size);
        EXPECT_LT(fwtest::meanChannelDiff(decoded, img), 2.0) << size.width() << "x" << size.height();
        // Far from any edge the exact colours survive: a flip or a channel
        // swap would put blue where red belongs.
        if (size.width() >= 32 && size.height() >= 32) {
            EXPECT_NEAR(decoded.pixelColor(2, 2).red(), 220, 12);
            EXPECT_NEAR(decoded.pixelColor(size.width() - 3, size.height() - 3).blue(), 220, 12);
        }
    }
}

// The file holds exactly what the chosen settings give: 4:4:4, baseline,
// the accurate DCT (docs/jpeg-defaults.md), the quality passed unchanged
// (0 as the encoder's lowest, 1).
TEST(JpegWriter, WritesTheChosenEncoderSettings)
{
    const fwtest::TempDir dir;
    cDIBSection dib;
    load(dib, fwtest::testPattern(157, 93), dir); // 1 pad byte per row
    for (const auto& [quality, turboQuality] : {std::pair{0, 1}, {5, 5}, {75, 75}, {90, 90}, {100, 100}}) {
        const QString out = dir.file(QString("q%1.JPG").arg(quality));
        ASSERT_TRUE(SaveToJPG(dib, out, quality));
        const QByteArray accurate = turboJpeg(dib, turboQuality, TJFLAG_ACCURATEDCT);
        EXPECT_EQ(fwtest::readAll(out), accurate) << "quality " << quality;
        if (quality == 75 || quality == 90) { // where the two DCTs differ
            EXPECT_NE(turboJpeg(dib, turboQuality, TJFLAG_FASTDCT), accurate) << "quality " << quality;
        }
    }
}

TEST(JpegWriter, ReplacingAFileKeepsItsPermissionsAndTimes)
{
    const fwtest::TempDir dir;
    cDIBSection dib;
    load(dib, fwtest::testPattern(20, 10), dir);
    const QString out = dir.file("shot0000.JPG");
    fwtest::writeAll(out, "old contents");
    const QDateTime past = QDateTime::currentDateTime().addDays(-400);
    {
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(past, QFileDevice::FileModificationTime);
        f.setFileTime(past.addSecs(60), QFileDevice::FileAccessTime);
    }
    ASSERT_EQ(chmod(QFile::encodeName(out).constData(), 0640), 0);

    ASSERT_TRUE(SaveToJPG(dib, out, 80));
    const QFileInfo info(out); // read before decoding: reading moves the access time
    EXPECT_EQ(info.lastModified().toSecsSinceEpoch(), past.toSecsSinceEpoch());
    EXPECT_EQ(info.lastRead().toSecsSinceEpoch(), past.addSecs(60).toSecsSinceEpoch());
    struct stat st{};
    ASSERT_EQ(stat(QFile::encodeName(out).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_FALSE(fwtest::decodeJpeg(out).isNull());
    EXPECT_EQ(entries(dir.path()), (QStringList{"shot0000.JPG", "source.bmp"}));
}

TEST(JpegWriter, FailedWriteRaises26001AndKeepsTheEarlierFile)
{
    const fwtest::TempDir dir;
    cDIBSection dib;
    load(dib, fwtest::testPattern(300, 200), dir);
    const QString out = dir.file("full0000.JPG");
    fwtest::writeAll(out, "earlier file");
    for (const bool noReplace : {false, true}) {
        try {
            const fwtest::FileSizeLimit diskFull(1000); // the JPEG needs more than this
            noReplace ? void(SaveToNewJPG(dib, dir.file("new0000.JPG"), 95)) : void(SaveToJPG(dib, out, 95));
            ADD_FAILURE() << "no error raised";
        } catch (const AppError& e) {
            EXPECT_EQ(e.number(), 26001);
            EXPECT_EQ(e.source(), QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".mIntelJPEGLibrary");
            EXPECT_TRUE(e.description().startsWith("Failed to save to JPG -")) << e.description().toStdString();
        }
    }
    EXPECT_EQ(fwtest::readAll(out), "earlier file");
    EXPECT_EQ(entries(dir.path()), (QStringList{"full0000.JPG", "source.bmp"})) << "temporary file left behind";
}

TEST(JpegWriter, UnwritableTargetsRaiseAndLeaveNothing)
{
    const fwtest::TempDir dir;
    cDIBSection dib;
    load(dib, fwtest::testPattern(16, 16), dir);
    EXPECT_THROW(SaveToJPG(dib, dir.file("missing/dir/x.JPG"), 90), AppError);
    ASSERT_TRUE(QDir(dir.path()).mkdir("adir"));
    EXPECT_THROW(SaveToJPG(dib, dir.file("adir"), 90), AppError);
    cDIBSection empty;
    EXPECT_THROW(SaveToJPG(empty, dir.file("e.JPG"), 90), AppError);

    // A read-only directory, for a user the permission bits bind.
    ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.file("ro")).constData(), 0555), 0);
    EXPECT_EQ(fwtest::runAsNobody([&] {
                  try {
                      SaveToJPG(dib, dir.file("ro/x.JPG"), 90);
                  } catch (const AppError&) {
                      return 0;
                  }
                  return 1;
              }),
              0);
    EXPECT_TRUE(entries(dir.file("ro")).isEmpty());
    EXPECT_EQ(entries(dir.path()), (QStringList{"adir", "ro", "source.bmp"}));
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
    EXPECT_EQ(entries(dir.path()).size(), 5) << "temporary file left behind";
}
