// The file-system calls' one contract, held by both spellings (Linux and
// Windows): each case runs in both builds.
#include "core/os/NativeFile.h"
#include "TempDir.h"
#include "TestUtil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace fwtest;

namespace {

// Windows waits out what it answers in passing; these cases make nothing
// pass, so they do not wait.
class NativeFileTest : public ::testing::Test {
protected:
    NativeFileTest()
    {
        NativeFile::setRetryPause([](int) {});
    }
    ~NativeFileTest() override { NativeFile::setRetryPause({}); }
    const TempDir dir;
};

NativeFile::Descriptor openToRead(const QString& path)
{
    NativeFile::Status status;
    return NativeFile::openForReading(path, status);
}

} // namespace

TEST_F(NativeFileTest, MovesNeverReplaceAndSayWhy)
{
    writeAll(dir.file("taken"), "another file");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    const std::pair<const char*, NativeFile::Error> rows[] = {
        {"taken", NativeFile::Error::NameTaken}, {"folder", NativeFile::Error::NameTaken}, {"free", {}}};
    for (const auto& [target, error] : rows) {
        writeAll(dir.file("source"), "the source");
        EXPECT_EQ(NativeFile::moveNoReplace(dir.file("source"), dir.file(target)).error, error) << target;
        EXPECT_EQ(readAll(dir.file("taken")), "another file");
    }
    EXPECT_EQ(readAll(dir.file("free")), "the source");
    EXPECT_EQ(NativeFile::moveNoReplace(dir.file("gone"), dir.file("free2")).error, NativeFile::Error::NotFound);
}

// What a live converter holds as private, recovery leaves alone; once its
// holder is gone, recovery may take it.
TEST_F(NativeFileTest, AHeldPrivateFileIsNoOrphanUntilItsHolderLetsGo)
{
    const QString file = dir.file(".fw-k3x9q2.tmp");
    writeAll(file, "half a JPEG");
    NativeFile::Descriptor holder = openToRead(file);
    ASSERT_TRUE(NativeFile::holdAsPrivate(holder.get(), file));
    NativeFile::Status status;
    EXPECT_FALSE(NativeFile::openIfOrphaned(file, status));
    EXPECT_EQ(status.error, NativeFile::Error::InUse);
    holder.close();
    const NativeFile::Descriptor orphan = NativeFile::openIfOrphaned(file, status);
    ASSERT_TRUE(orphan) << status.message().toStdString();
    EXPECT_TRUE(NativeFile::removeHeld(orphan.get(), file));
}

// The retire step's moves and deletion, through the descriptor that read
// the file.
TEST_F(NativeFileTest, AHeldFileIsMovedWithoutReplacingAndDeleted)
{
    const QString shot = dir.file("shot.bmp"), aside = dir.file(".fw-k3x9q2.del.shot.bmp");
    writeAll(shot, "the picture");
    writeAll(dir.file("taken"), "another file");
    {
        NativeFile::Descriptor held = openToRead(shot);
        ASSERT_TRUE(held);
        EXPECT_EQ(NativeFile::moveHeld(held.get(), shot, dir.file("taken")).error, NativeFile::Error::NameTaken);
        ASSERT_TRUE(NativeFile::moveHeld(held.get(), shot, aside));
        EXPECT_TRUE(NativeFile::setHidden(held.get(), true));
        EXPECT_TRUE(NativeFile::holdAsPrivate(held.get(), aside));
        EXPECT_TRUE(NativeFile::removeHeld(held.get(), aside));
    }
    EXPECT_EQ(dirEntries(dir.path()), QStringList{"taken"});
    EXPECT_EQ(NativeFile::remove(dir.file("gone")).error, NativeFile::Error::NotFound);
    EXPECT_TRUE(NativeFile::remove(dir.file("taken")));
    EXPECT_TRUE(dirEntries(dir.path()).isEmpty());
}

// The same file keeps its identity; a rewrite or another file renamed onto
// the name shows; the time is the file's own, in nanoseconds since 1970.
TEST_F(NativeFileTest, IdentityTellsTheFileAndItsContent)
{
    writeAll(dir.file("shot.bmp"), "first");
    writeAll(dir.file("other"), "first"); // same size, another file
    const QDateTime written(QDate(2026, 12, 7), QTime(21, 0), Qt::UTC);
    {
        QFile file(dir.file("shot.bmp"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(written, QFileDevice::FileModificationTime));
    }
    const std::optional<FileIdentity> before = NativeFile::identityOfPath(dir.file("shot.bmp"));
    ASSERT_TRUE(before);
    EXPECT_EQ(before->size, 5);
    EXPECT_EQ(before->modifiedNs, written.toMSecsSinceEpoch() * 1000000);
    {
        const NativeFile::Descriptor fd = openToRead(dir.file("shot.bmp"));
        EXPECT_TRUE(NativeFile::identityOf(fd.get()).isSameFile(*before));
        EXPECT_TRUE(NativeFile::isRegularFile(fd.get()));
    }
    EXPECT_FALSE(NativeFile::identityOfPath(dir.file("other"))->isSameFile(*before));
    writeAll(dir.file("shot.bmp"), "first, then more");
    EXPECT_FALSE(NativeFile::identityOfPath(dir.file("shot.bmp"))->hasSameContent(*before));
    EXPECT_FALSE(NativeFile::identityOfPath(dir.file("nowhere")));
}
