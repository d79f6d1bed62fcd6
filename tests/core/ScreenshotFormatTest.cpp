#include "core/ScreenshotFormat.h"
#include "TempDir.h"
#include "TestUtil.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

// A 2 x 2 TGA file, run-length encoded: one run of four pixels.
QByteArray rleTga()
{
    QByteArray tga(18, '\0');
    tga[2] = 10; // true colour, run-length encoded
    tga[12] = 2; // width
    tga[14] = 2; // height
    tga[16] = 24;
    return tga + QByteArray("\x83\x10\x20\x30", 4);
}

const char* extensionOf(const ScreenshotFormat* format) { return format ? format->extension : "none"; }

TEST(ScreenshotFormat, ANameTellsItsFormatInAnyCase)
{
    const struct {
        const char* name;
        const char* extension;
    } names[] = {
        {"half0007.bmp", "bmp"},  {"HALF0007.BMP", "bmp"}, {"shot.Tga", "tga"},   {"a.bmp.tga", "tga"},
        {"half0007.jpg", "none"}, {"bmp", "none"},         {"half.bmpx", "none"},
    };
    for (const auto& n : names)
        EXPECT_STREQ(extensionOf(ScreenshotFormats::of(n.name)), n.extension) << n.name;

    for (const auto& [extension, found] : {std::pair{"bmp", "bmp"}, {"TGA", "tga"}, {".bmp", "none"}, {"", "none"}})
        EXPECT_STREQ(extensionOf(ScreenshotFormats::withExtension(QString::fromLatin1(extension))), found) << extension;
    EXPECT_EQ(ScreenshotFormats::withExtension(u"tga")->suffix(), ".tga");
}

// A file kept under a name that no longer tells is known by its first
// bytes: a bitmap by its "BM", anything else is taken for a TGA file, the
// format without a mark.
TEST(ScreenshotFormat, TheFirstBytesTellABitmapFromATgaFile)
{
    const fwtest::TempDir dir;
    fwtest::writeBmp(dir.file("shot.bmp"), fwtest::testPattern(3, 2));
    const QByteArray bitmap = fwtest::readAll(dir.file("shot.bmp")).left(ScreenshotFormats::markLength());
    const struct {
        const char* what;
        QByteArray head;
        const char* extension;
    } heads[] = {
        {"a bitmap", bitmap, "bmp"}, {"a TGA file", rleTga(), "tga"}, {"an empty file", {}, "tga"},
        {"half a mark", "B", "tga"}, {"another case", "bm", "tga"},
    };
    for (const auto& h : heads)
        EXPECT_STREQ(ScreenshotFormats::startingWith(h.head).extension, h.extension) << h.what;
}

// The size rule measures a bitmap's length, and a TGA file's picture as
// the bitmap file it would be, however small its run-length encoding.
TEST(ScreenshotFormat, TheSizeRuleMeasuresThePicture)
{
    const fwtest::TempDir dir;
    fwtest::writeBmp(dir.file("shot.bmp"), fwtest::testPattern(3, 2));
    QFile bitmap(dir.file("shot.bmp")), tga(dir.file("shot.tga"));
    fwtest::writeAll(tga.fileName(), rleTga());
    ASSERT_TRUE(bitmap.open(QIODevice::ReadOnly) && tga.open(QIODevice::ReadOnly));
    EXPECT_EQ(ScreenshotFormats::of(bitmap.fileName())->ruleBytes(bitmap), bitmap.size());
    EXPECT_EQ(ScreenshotFormats::of(tga.fileName())->ruleBytes(tga), 54 + 2 * 8);
}

} // namespace
