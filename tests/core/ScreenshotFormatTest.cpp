#include "core/ScreenshotFormat.h"
#include "TempDir.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace {

const char* extensionOf(const ScreenshotFormat* format) { return format ? format->extension : "none"; }

// A format is known by a name's extension in any case, or, for a file kept
// under a name that no longer tells, by its first bytes: a bitmap by "BM",
// anything else is taken for a TGA file, the format without a mark.
TEST(ScreenshotFormat, KnownByItsNameOrItsFirstBytes)
{
    const char* names[][2] = {{"HALF0007.BMP", "bmp"}, {"a.bmp.Tga", "tga"}, {"half.jpg", "none"}, {"bmp", "none"}};
    for (const auto& [name, extension] : names)
        EXPECT_STREQ(extensionOf(ScreenshotFormats::of(name)), extension) << name;
    EXPECT_EQ(ScreenshotFormats::withExtension(u"TGA")->suffix(), ".tga");
    EXPECT_EQ(ScreenshotFormats::withExtension(u".bmp"), nullptr);

    const fwtest::TempDir dir;
    fwtest::writeBmp(dir.file("shot.bmp"), fwtest::testPattern(3, 2));
    const QByteArray bitmap = fwtest::readAll(dir.file("shot.bmp")).left(ScreenshotFormats::markLength());
    const std::pair<QByteArray, const char*> heads[] = {
        {bitmap, "bmp"}, {QByteArray(18, '\0'), "tga"}, {{}, "tga"}, {"B", "tga"}, {"bm", "tga"}};
    for (const auto& [head, extension] : heads)
        EXPECT_STREQ(ScreenshotFormats::startingWith(head).extension, extension) << head.toStdString();
}

} // namespace
