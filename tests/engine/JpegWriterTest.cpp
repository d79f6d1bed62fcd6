#include "EngineTestUtil.h"
#include "TempDir.h"
#include "engine/AppError.h"
#include "engine/cDIBSection.h"
#include "engine/mIntelJPEGLibrary.h"
#include "engine/platform/IntelJpegLibrary.h"
#include "engine/platform/Picture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Fills an image from a QImage through the real loader path.
void load(cDIBSection& dib, const QImage& img, const fwtest::TempDir& dir)
{
    const QString path = dir.file("source.bmp");
    fwtest::writeBmp(path, img);
    const StdPicture picture = LoadPicture(path);
    dib.CreateFromPicture(picture);
    ASSERT_NE(dib.hDC(), 0u);
}

QStringList entries(const fwtest::TempDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// Lowers the process's file-size limit for the life of the object: writes
// beyond it fail with EFBIG, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

} // namespace

TEST(JpegWriter, RoundTripKeepsPixelsOrientationAndChannelsAtEveryRowAlignment)
{
    const fwtest::TempDir dir;
    for (const QSize size : {QSize(1, 1), QSize(2, 3), QSize(3, 5), QSize(4, 4), QSize(5, 7),
                             QSize(35, 39), QSize(64, 48), QSize(101, 13)}) {
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
            const QColor topLeft = decoded.pixelColor(2, 2);
            const QColor bottomRight = decoded.pixelColor(size.width() - 3, size.height() - 3);
            EXPECT_NEAR(topLeft.red(), 220, 12);
            EXPECT_NEAR(topLeft.blue(), 30, 12);
            EXPECT_NEAR(bottomRight.blue(), 220, 12);
            EXPECT_NEAR(bottomRight.red(), 30, 12);
        }
    }
}

TEST(JpegWriter, QualityReachesTheEncoder)
{
    const fwtest::TempDir dir;
    QImage noisy(160, 120, QImage::Format_RGB888);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            noisy.setPixelColor(x, y, QColor((x * 37 + y * 11) % 256, (x * y) % 256, (x * 7 + y * 91) % 256));
    cDIBSection dib;
    load(dib, noisy, dir);
    qint64 previous = 0;
    for (int q : {0, 5, 50, 90, 100}) {
        const QString out = dir.file(QString("q%1.JPG").arg(q));
        ASSERT_TRUE(SaveToJPG(dib, out, q));
        const qint64 size = QFileInfo(out).size();
        EXPECT_GT(size, previous) << "quality " << q;
        previous = size;
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
    const auto perms = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(out, perms));

    ASSERT_TRUE(SaveToJPG(dib, out, 80));
    const QFileInfo info(out); // read before decoding: reading moves the access time
    EXPECT_EQ(info.lastModified().toSecsSinceEpoch(), past.toSecsSinceEpoch());
    EXPECT_EQ(info.lastRead().toSecsSinceEpoch(), past.addSecs(60).toSecsSinceEpoch());
    EXPECT_EQ(info.permissions(), perms | QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_FALSE(fwtest::decodeJpeg(out).isNull());
    EXPECT_EQ(entries(dir), (QStringList{"shot0000.JPG", "source.bmp"}));
}

TEST(JpegWriter, NewFileGetsTodaysTime)
{
    const fwtest::TempDir dir;
    cDIBSection dib;
    load(dib, fwtest::testPattern(8, 8), dir);
    const QString out = dir.file("new0000.JPG");
    ASSERT_TRUE(SaveToJPG(dib, out, 75));
    EXPECT_LT(std::abs(QFileInfo(out).lastModified().secsTo(QDateTime::currentDateTime())), 60);
}

TEST(JpegWriter, FailedWriteRaises26001AndKeepsTheEarlierFile)
{
    const fwtest::TempDir dir;
    cDIBSection dib;
    load(dib, fwtest::testPattern(300, 200), dir);
    const QString out = dir.file("full0000.JPG");
    fwtest::writeAll(out, "earlier file");
    try {
        const FileSizeLimit diskFull(1000); // the JPEG needs more than this
        SaveToJPG(dib, out, 95);
        FAIL() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 26001);
        EXPECT_EQ(e.source(), QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".mIntelJPEGLibrary");
        EXPECT_TRUE(e.description().startsWith("Failed to save to JPG ")) << e.description().toStdString();
        bool isNumber = false;
        e.description().mid(22).toInt(&isNumber);
        EXPECT_TRUE(isNumber);
    }
    EXPECT_EQ(fwtest::readAll(out), "earlier file");
    EXPECT_EQ(entries(dir), (QStringList{"full0000.JPG", "source.bmp"})) << "temporary file left behind";
}

TEST(JpegWriter, UnwritableTargetsRaiseAndLeaveNothing)
{
    const fwtest::TempDir dir;
    cDIBSection dib;
    load(dib, fwtest::testPattern(16, 16), dir);
    EXPECT_THROW(SaveToJPG(dib, dir.file("missing/dir/x.JPG"), 90), AppError);
    ASSERT_TRUE(QDir(dir.path()).mkdir("adir"));
    EXPECT_THROW(SaveToJPG(dib, dir.file("adir"), 90), AppError);
    if (geteuid() != 0) { // root writes into read-only directories anyway
        ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
        QFile::setPermissions(dir.file("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_THROW(SaveToJPG(dib, dir.file("ro/x.JPG"), 90), AppError);
        QFile::setPermissions(dir.file("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        EXPECT_TRUE(QDir(dir.file("ro")).isEmpty());
    }
}

TEST(JpegWriter, EmptyImageIsRefusedByTheLibrary)
{
    const fwtest::TempDir dir;
    cDIBSection empty;
    EXPECT_THROW(SaveToJPG(empty, dir.file("e.JPG"), 90), AppError);
    EXPECT_FALSE(QFile::exists(dir.file("e.JPG")));
}

TEST(JpegLibrary, PadBytesAndBottomUpFlagDescribeTheBuffer)
{
    // A 5-pixel-wide bottom-up buffer with 1 pad byte per row, where the pad
    // bytes hold garbage that must never show in the picture.
    const fwtest::TempDir dir;
    const int w = 5, h = 4, stride = 16;
    std::vector<std::uint8_t> bits(stride * h, 0xEE);
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &bits[r * stride + 3 * x];
            const bool bottom = r < 2; // the two bottom rows are blue
            p[0] = bottom ? 200 : 20;
            p[1] = 20;
            p[2] = bottom ? 20 : 200;
        }
    JPEG_CORE_PROPERTIES props{};
    ASSERT_EQ(ijlInit(&props), IJL_OK);
    const QByteArray name = QFile::encodeName(dir.file("pad.JPG"));
    props.DIBBytes = bits.data();
    props.DIBWidth = w;
    props.DIBHeight = -h;
    props.DIBPadBytes = stride - 3 * w;
    props.JPGFile = name.constData();
    props.JPGWidth = w;
    props.JPGHeight = h;
    props.jquality = 100;
    ASSERT_EQ(ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK);
    EXPECT_EQ(ijlWrite(&props, 1), IJL_INVALID_ARGUMENT);
    ijlFree(&props);
    EXPECT_EQ(props.jprops, nullptr);
    EXPECT_EQ(ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE), IJL_NOT_INITIALISED);

    const QImage decoded = fwtest::decodeJpeg(dir.file("pad.JPG"));
    ASSERT_EQ(decoded.size(), QSize(w, h));
    EXPECT_GT(decoded.pixelColor(2, 0).red(), 150);      // top row red
    EXPECT_GT(decoded.pixelColor(2, h - 1).blue(), 120); // bottom row blue
}
