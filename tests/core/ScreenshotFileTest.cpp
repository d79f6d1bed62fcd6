#include "core/ScreenshotFile.h"
#include "TempDir.h"
#include "TestUtil.h"
#include "core/ReadError.h"

#include <QImage>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct Buffer {
    std::vector<std::uint8_t> bytes;
    int allocations = 0;
    PixelAllocator allocator()
    {
        return [this](int width, int height) {
            ++allocations;
            bytes.assign(std::size_t(PixelLayout{width, height}.bytes()), 0xEE);
            return bytes.data();
        };
    }
};

TEST(ScreenshotFile, ANameInADirectoryIsOnePathWithItsFormat)
{
    for (const QString directory : {"/shots", "/shots/"})
        EXPECT_EQ(ScreenshotFile(directory, "half0007.BMP").path(), "/shots/half0007.BMP") << directory.toStdString();
    EXPECT_EQ(ScreenshotFile("", "half0007.bmp").path(), "half0007.bmp");
    EXPECT_STREQ(ScreenshotFile("/shots", "a.tga").format()->extension, "tga");
    EXPECT_EQ(ScreenshotFile("/shots", "a.png").format(), nullptr);
}

// The file is read into the caller's buffer, top row last, and the file
// read is known by its identity.
TEST(ScreenshotFile, ReadsThePictureIntoTheCallersBuffer)
{
    const fwtest::TempDir dir;
    const QImage image = fwtest::testPattern(3, 2);
    fwtest::writeBmp(dir.file("half0007.bmp"), image);
    ScreenshotFile shot(dir.path(), "half0007.bmp");
    Buffer buffer;
    std::int64_t measured = -1;
    ASSERT_TRUE(shot.read(buffer.allocator(), [&](std::int64_t ruleBytes) {
        measured = ruleBytes;
        return true;
    }));
    EXPECT_EQ(measured, QFileInfo(shot.path()).size());
    EXPECT_EQ(shot.picture().width, 3);
    EXPECT_EQ(shot.picture().height, 2);
    const QRgb topLeft = image.pixel(0, 0);
    const std::uint8_t* top = shot.picture().row(buffer.bytes.data(), 0);
    EXPECT_EQ((std::vector<int>{top[0], top[1], top[2]}),
              (std::vector<int>{qBlue(topLeft), qGreen(topLeft), qRed(topLeft)}));
    EXPECT_TRUE(shot.identity().has_value());
    EXPECT_TRUE(shot.identity()->isSameFile(*shot.lookUp()));
}

// What the size rule refuses is never decoded; what cannot be read says
// why, and a file that was opened is known even when its pixels are not.
TEST(ScreenshotFile, RefusalsAndFailures)
{
    const fwtest::TempDir dir;
    fwtest::writeBmp(dir.file("small0001.bmp"), fwtest::testPattern(3, 2));
    QByteArray cut = fwtest::readAll(dir.file("small0001.bmp"));
    cut.chop(4);
    fwtest::writeAll(dir.file("cut0001.bmp"), cut);

    Buffer buffer;
    ScreenshotFile small(dir.path(), "small0001.bmp");
    EXPECT_FALSE(small.read(buffer.allocator(), [](std::int64_t) { return false; }));
    EXPECT_EQ(buffer.allocations, 0);

    const struct {
        const char* name;
        const char* reason;
        bool opened;
    } failures[] = {
        {"cut0001.bmp", "truncated pixel data", true},
        {"gone0001.bmp", "file not found", false},
        {"notes0001.txt", "not a screenshot format", false},
    };
    for (const auto& f : failures) {
        ScreenshotFile shot(dir.path(), f.name);
        try {
            shot.read(buffer.allocator());
            ADD_FAILURE() << f.name << " was read";
        } catch (const ReadError& e) {
            EXPECT_TRUE(e.reason().starts_with(f.reason)) << f.name << ": " << e.reason();
        }
        EXPECT_EQ(shot.identity().has_value(), f.opened) << f.name;
    }
}

} // namespace
