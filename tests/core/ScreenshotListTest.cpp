// Which files are screenshots and what their JPEGs are called: the rules the
// window's list, the window's run and the command line share.
#include "core/ScreenshotList.h"
#include "TempDir.h"
#include "core/ReadError.h"
#include "core/SourceFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace ScreenshotList;

// Regular files only (a link counts as its target), no hidden ones, in one
// order that ignores case; the command line's list has the TGA files among
// the bitmaps.
TEST(ScreenshotList, ListsRegularScreenshotFilesInCaseBlindOrder)
{
    const fwtest::TempDir dir;
    for (const char* name : {"c1a00001.bmp", "C1A00000.BMP", "e0.Bmp", "x.tga", "HalfLife07.TGA", ".fw-tmp.bmp",
                             "notes.txt", "x.bmpx", "a.bmp.tga.txt"})
        fwtest::writeAll(dir.file(name), "BM");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    ASSERT_TRUE(QFile::link(dir.file("e0.Bmp"), dir.file("link.bmp")));
    ASSERT_TRUE(QFile::link(dir.file("nowhere"), dir.file("dangling.bmp")));
    ASSERT_EQ(::mkfifo(qPrintable(dir.file("pipe0000.bmp")), 0600), 0);
    EXPECT_EQ(list(dir.path()), QStringList({"C1A00000.BMP", "c1a00001.bmp", "e0.Bmp", "link.bmp"}));
    // Swapped in after a listing, a pipe is refused at once, never waited on.
    EXPECT_THROW(SourceFile{dir.file("pipe0000.bmp")}, ReadError);
    EXPECT_EQ(listForConversion(dir.dir()),
              QStringList({"C1A00000.BMP", "c1a00001.bmp", "e0.Bmp", "HalfLife07.TGA", "link.bmp", "x.tga"}));
    EXPECT_TRUE(list(dir.file("nowhere")).isEmpty());
}
