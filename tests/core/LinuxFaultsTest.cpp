// The core's cases whose faults only Linux can make here: symbolic links, a
// pipe under a screenshot's name, an unprivileged user. Everything else about these units runs on both
// platforms, in their own test files.
#include "TempDir.h"
#include "TestUtil.h"
#include "core/ReadError.h"
#include "core/SafeFile.h"
#include "core/ScreenshotList.h"
#include "core/SourceFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(LinuxFaults, NoReplaceNeverTakesTheNameOfALinkEvenADanglingOne)
{
    const fwtest::TempDir dir;
    fwtest::writeAll(dir.file("file"), "mine");
    ASSERT_TRUE(QFile::link(dir.file("file"), dir.file("link")));
    ASSERT_TRUE(QFile::link(dir.file("nowhere"), dir.file("dangling")));
    for (const char* name : {"link", "dangling"}) {
        const SafeFile::Result r =
            SafeFile::write(dir.file(name), fwtest::bytesOf("new"), SafeFile::Publish::NoReplace);
        EXPECT_EQ(r.outcome, SafeFile::Outcome::NameTaken) << name;
    }
    EXPECT_EQ(fwtest::readAll(dir.file("file")), "mine");
    EXPECT_FALSE(QFile::exists(dir.file("nowhere")));
}

// A link counts as its target; a dangling one and a pipe are no screenshots,
// and a pipe swapped in after a listing is refused at once, never waited on.
TEST(LinuxFaults, ListsLinksAsTheirTargetsAndRefusesPipes)
{
    const fwtest::TempDir dir;
    fwtest::writeAll(dir.file("e0.Bmp"), "BM");
    ASSERT_TRUE(QFile::link(dir.file("e0.Bmp"), dir.file("link.bmp")));
    ASSERT_TRUE(QFile::link(dir.file("nowhere"), dir.file("dangling.bmp")));
    ASSERT_EQ(::mkfifo(qPrintable(dir.file("pipe0000.bmp")), 0600), 0);
    EXPECT_EQ(ScreenshotList::list(dir.path()), QStringList({"e0.Bmp", "link.bmp"}));
    EXPECT_THROW(SourceFile{dir.file("pipe0000.bmp")}, ReadError);
}

// An output folder its user cannot search: no name in it is known free or
// taken, so no number is offered.
TEST(LinuxFaults, AFolderThatCannotBeAskedHasNoFreeNumber)
{
    const fwtest::TempDir tmp;
    ASSERT_TRUE(QDir().mkpath(tmp.file("closed")));
    ASSERT_EQ(chmod(qPrintable(tmp.path()), 0755), 0);
    ASSERT_EQ(chmod(qPrintable(tmp.file("closed")), 0700), 0);
    EXPECT_EQ(
        fwtest::runAsNobody([&] { return ScreenshotList::firstFreeNumber(tmp.file("closed"), "half", 0) ? 1 : 0; }), 0);
}
