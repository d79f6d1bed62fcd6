#include "core/ScreenshotFile.h"
#include "TempDir.h"
#include "TestUtil.h"
#include "core/ReadError.h"

#include <QImage>
#include <gtest/gtest.h>

#include <vector>

namespace {

// The file is read into the caller's buffer once the size rule agrees, and
// the file read is known by its identity.
TEST(ScreenshotFile, ReadsThePictureIntoTheCallersBufferWhenTheRuleAgrees)
{
    const fwtest::TempDir dir;
    const QImage image = fwtest::testPattern(3, 2);
    fwtest::writeBmp(dir.file("half0007.bmp"), image);
    ScreenshotFile shot(dir.path(), "half0007.bmp");
    EXPECT_EQ(shot.path(), dir.file("half0007.bmp"));
    std::vector<std::uint8_t> buffer;
    const PixelAllocator allocate = [&](int width, int height) {
        buffer.resize(std::size_t(PixelLayout{width, height}.bytes()));
        return buffer.data();
    };
    EXPECT_FALSE(shot.read(allocate, [](std::int64_t) { return false; }));
    EXPECT_TRUE(buffer.empty()) << "refused by the rule, yet decoded";

    ASSERT_TRUE(
        shot.read(allocate, [&](std::int64_t ruleBytes) { return ruleBytes == QFileInfo(shot.path()).size(); }));
    const std::uint8_t* top = shot.picture().row(buffer.data(), 0);
    EXPECT_EQ(qRgb(top[2], top[1], top[0]), image.pixel(0, 0));
    EXPECT_TRUE(shot.identity()->isSameFile(*shot.lookUp()));
}

// A file that was opened is known even when its pixels cannot be read.
TEST(ScreenshotFile, AFileOpenedIsKnownWhenItCannotBeRead)
{
    const fwtest::TempDir dir;
    fwtest::writeAll(dir.file("cut0001.bmp"), fwtest::bmpBytes(fwtest::testPattern(3, 2)).chopped(4));
    for (const auto& [name, opened] : {std::pair{"cut0001.bmp", true}, {"gone0001.bmp", false}}) {
        ScreenshotFile shot(dir.path(), name);
        EXPECT_THROW(shot.read([](int, int) { return nullptr; }), ReadError) << name;
        EXPECT_EQ(shot.identity().has_value(), opened) << name;
    }
}

} // namespace
