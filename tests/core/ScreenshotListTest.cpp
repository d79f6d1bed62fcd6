// Which files are screenshots and what their JPEGs are called: the rules the
// window's list, the window's run and the command line share.
#include "core/ScreenshotList.h"
#include "TempDir.h"
#include "core/ReadError.h"
#include "core/SourceFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace ScreenshotList;

// Regular files only, no hidden ones, in one order that ignores case; the
// command line's list has the TGA files among the bitmaps. (Links and pipes:
// the Linux-only tests.)
TEST(ScreenshotList, ListsRegularScreenshotFilesInCaseBlindOrder)
{
    const fwtest::TempDir dir;
    for (const char* name : {"c1a00001.bmp", "C1A00000.BMP", "e0.Bmp", "x.tga", "HalfLife07.TGA", ".fw-tmp.bmp",
                             "notes.txt", "x.bmpx", "a.bmp.tga.txt"})
        fwtest::writeAll(dir.file(name), "BM");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    EXPECT_EQ(list(dir.path()), QStringList({"C1A00000.BMP", "c1a00001.bmp", "e0.Bmp"}));
    EXPECT_EQ(listForConversion(dir.dir()),
              QStringList({"C1A00000.BMP", "c1a00001.bmp", "e0.Bmp", "HalfLife07.TGA", "x.tga"}));
    EXPECT_TRUE(list(dir.file("nowhere")).isEmpty());
}

// The lowest free number; a folder that cannot be asked gives none, instead
// of every number looking taken.
TEST(ScreenshotList, FirstFreeNumberSkipsEveryTakenNameAndAnUnreachableFolderHasNone)
{
    const fwtest::TempDir dir;
    fwtest::writeAll(dir.file("half0000.JPG"), "taken");
    ASSERT_TRUE(QDir(dir.path()).mkdir("half0001.JPG"));
    EXPECT_EQ(firstFreeNumber(dir.path(), "half", 0), 2);
    EXPECT_EQ(firstFreeNumber(dir.path(), "half", 3), 3);
    EXPECT_EQ(firstFreeNumber(dir.path(), "half", 0, 2), 2) << "all taken below the end";
    EXPECT_EQ(firstFreeNumber(dir.file("nowhere"), "half", 0), 0) << "a missing folder takes no name";
    // A file where the folder should be: no name in it exists.
    EXPECT_EQ(firstFreeNumber(dir.file("half0000.JPG"), "half", 0), 0);
}
