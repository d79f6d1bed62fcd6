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
    struct Row {
        const char* what;
        const char* target;
        NativeFile::Error error;
    };
    writeAll(dir.file("taken"), "another file");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    const Row rows[] = {
        {"a file has the name", "taken", NativeFile::Error::NameTaken},
        {"a folder has the name", "folder", NativeFile::Error::NameTaken},
        {"the name is free", "free", NativeFile::Error::None},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeAll(dir.file("source"), "the source");
        EXPECT_EQ(NativeFile::moveNoReplace(dir.file("source"), dir.file(row.target)).error, row.error);
        EXPECT_EQ(readAll(dir.file("taken")), "another file");
    }
    EXPECT_EQ(readAll(dir.file("free")), "the source");
    EXPECT_EQ(NativeFile::moveNoReplace(dir.file("gone"), dir.file("free2")).error, NativeFile::Error::NotFound);
}

TEST_F(NativeFileTest, APrivateFileIsCreatedOnlyUnderAFreeName)
{
    writeAll(dir.file("taken"), "another file");
    NativeFile::Status status;
    EXPECT_FALSE(NativeFile::createPrivate(dir.file("taken"), status));
    EXPECT_EQ(status.error, NativeFile::Error::NameTaken);
    NativeFile::Descriptor file = NativeFile::createPrivate(dir.file("new"), status);
    ASSERT_TRUE(file) << status.message().toStdString();
    const QByteArray bytes = "written through the descriptor";
    EXPECT_TRUE(NativeFile::writeAll(file.get(),
                                     {reinterpret_cast<const std::uint8_t*>(bytes.data()), std::size_t(bytes.size())}));
    EXPECT_TRUE(NativeFile::sync(file.get()));
    EXPECT_TRUE(file.close());
    EXPECT_EQ(readAll(dir.file("new")), bytes);
    EXPECT_EQ(readAll(dir.file("taken")), "another file");
}

// A program that holds the file for writing is either refused at our open
// (Windows) or seen by it (Linux's lease).
TEST_F(NativeFileTest, AWriterIsRefusedOrSeen)
{
    writeAll(dir.file("shot.bmp"), "being written");
    QFile writer(dir.file("shot.bmp"));
    ASSERT_TRUE(writer.open(QIODevice::Append));
    NativeFile::Status status;
    const NativeFile::Descriptor fd = NativeFile::openForReading(dir.file("shot.bmp"), status);
    if (fd)
        EXPECT_NE(NativeFile::writerOf(fd.get()), NativeFile::Writer::None);
    else
        EXPECT_EQ(status.error, NativeFile::Error::InUse);
    writer.close();
    const NativeFile::Descriptor after = openToRead(dir.file("shot.bmp"));
    ASSERT_TRUE(after);
    EXPECT_EQ(NativeFile::writerOf(after.get()), NativeFile::Writer::None);
}

// What a live converter holds as private, recovery leaves alone; once its
// holder is gone, recovery may take it.
TEST_F(NativeFileTest, AHeldPrivateFileIsNoOrphanUntilItsHolderLetsGo)
{
    writeAll(dir.file(".fw-k3x9q2.tmp"), "half a JPEG");
    NativeFile::Descriptor holder = openToRead(dir.file(".fw-k3x9q2.tmp"));
    ASSERT_TRUE(NativeFile::holdAsPrivate(holder.get(), dir.file(".fw-k3x9q2.tmp")));
    NativeFile::Status status;
    EXPECT_FALSE(NativeFile::openIfOrphaned(dir.file(".fw-k3x9q2.tmp"), status));
    EXPECT_EQ(status.error, NativeFile::Error::InUse);
    holder.close();
    const NativeFile::Descriptor orphan = NativeFile::openIfOrphaned(dir.file(".fw-k3x9q2.tmp"), status);
    ASSERT_TRUE(orphan) << status.message().toStdString();
    EXPECT_TRUE(NativeFile::removeHeld(orphan.get(), dir.file(".fw-k3x9q2.tmp")));
}

// The retire step's moves and deletion, through the descriptor that read
// the file.
TEST_F(NativeFileTest, AHeldFileIsMovedWithoutReplacingAndDeleted)
{
    writeAll(dir.file("shot.bmp"), "the picture");
    writeAll(dir.file("taken"), "another file");
    {
        NativeFile::Descriptor held = openToRead(dir.file("shot.bmp"));
        ASSERT_TRUE(held);
        EXPECT_EQ(NativeFile::moveHeld(held.get(), dir.file("shot.bmp"), dir.file("taken")).error,
                  NativeFile::Error::NameTaken);
        ASSERT_TRUE(NativeFile::moveHeld(held.get(), dir.file("shot.bmp"), dir.file(".fw-k3x9q2.del.shot.bmp")));
        EXPECT_TRUE(NativeFile::setHidden(held.get(), true));
        EXPECT_TRUE(NativeFile::holdAsPrivate(held.get(), dir.file(".fw-k3x9q2.del.shot.bmp")));
        EXPECT_TRUE(NativeFile::removeHeld(held.get(), dir.file(".fw-k3x9q2.del.shot.bmp")));
    }
    EXPECT_EQ(dirEntries(dir.path()), QStringList{"taken"});
    EXPECT_EQ(NativeFile::remove(dir.file("gone")).error, NativeFile::Error::NotFound);
    EXPECT_TRUE(NativeFile::remove(dir.file("taken")));
    EXPECT_TRUE(dirEntries(dir.path()).isEmpty());
}

TEST_F(NativeFileTest, ListsRegularFilesAndTellsTakenNames)
{
    writeAll(dir.file("a.bmp"), "a");
    writeAll(dir.file(".hidden"), "b");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    QStringList listed = NativeFile::regularFiles(dir.path());
    listed.sort();
    EXPECT_EQ(listed, (QStringList{".hidden", "a.bmp"}));
    EXPECT_EQ(NativeFile::presenceOf(dir.file("a.bmp")), NativeFile::Presence::Present);
    EXPECT_EQ(NativeFile::presenceOf(dir.file("folder.bmp")), NativeFile::Presence::Present);
    EXPECT_EQ(NativeFile::presenceOf(dir.file("free.bmp")), NativeFile::Presence::Absent);
    EXPECT_EQ(NativeFile::presenceOf(dir.file("nowhere/free.bmp")), NativeFile::Presence::Absent);
    EXPECT_TRUE(NativeFile::regularFiles(dir.file("nowhere")).isEmpty());
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
