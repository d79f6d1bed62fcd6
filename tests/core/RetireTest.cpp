// The steps after encoding, shared by both programs: a bitmap is deleted
// only when it is still the very file that was read, whatever happened to
// its name meanwhile.
#include "core/Retire.h"
#include "TempDir.h"
#include "TestUtil.h"
#include "core/SourceFile.h"

#include <QFile>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace fwtest;

TEST(Retire, DeletesOnlyTheFileThatWasRead)
{
    struct Row {
        const char* what;
        std::function<void(const TempDir&, const QString& bitmap)> meanwhile;
        Retire::Fate fate;
        bool bitmapStays;
    };
    std::unique_ptr<QFile> writer; // a writer that holds the bitmap open
    const Row rows[] = {
        {"unchanged", [](const TempDir&, const QString&) {}, Retire::Fate::Deleted, false},
        {"another file renamed onto its name",
         [](const TempDir& dir, const QString& bitmap) {
             writeAll(dir.file(".save.tmp"), "another picture");
             std::filesystem::rename(dir.file(".save.tmp").toStdWString(), bitmap.toStdWString());
         },
         Retire::Fate::Changed, true},
        {"opened for writing",
         [&writer](const TempDir&, const QString& bitmap) {
             writer = std::make_unique<QFile>(bitmap);
             ASSERT_TRUE(writer->open(QIODevice::Append));
         },
         Retire::Fate::StillWritten, true},
#ifndef Q_OS_WIN
        {"a symbolic link",
         [](const TempDir& dir, const QString& bitmap) {
             ASSERT_TRUE(QFile::rename(bitmap, dir.file("elsewhere")));
             ASSERT_TRUE(QFile::link(dir.file("elsewhere"), bitmap));
         },
         Retire::Fate::Link, true},
#endif
        {"gone", [](const TempDir&, const QString& bitmap) { QFile::remove(bitmap); }, Retire::Fate::AlreadyGone,
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const TempDir dir;
        const QString bitmap = dir.file("c1a00001.bmp");
        writeAll(bitmap, "the picture that was read");
        writeAll(dir.file("c1a00000.JPG"), "its JPEG");
        const FileIdentity read = SourceFile(bitmap).identity();
        row.meanwhile(dir, bitmap);
        const QByteArray after = QFile::exists(bitmap) ? readAll(bitmap) : QByteArray();

        const Retire::Outcome outcome = Retire::retireBitmap(dir.file("c1a00000.JPG"), bitmap, read);
        writer.reset();
        EXPECT_EQ(outcome.fate, row.fate) << Retire::describe(outcome).toStdString();
        EXPECT_EQ(QFile::exists(bitmap), row.bitmapStays);
        if (row.bitmapStays) {
            EXPECT_EQ(readAll(bitmap), after) << "the file kept is the one that was there";
        }
        EXPECT_EQ(dirEntries(dir.path()).filter(".fw-").size(), 0);
    }
}

#ifndef Q_OS_WIN
// While the bitmap is set aside and found changed, another file takes its
// name: the bitmap is kept under the next free name, and the newcomer is
// untouched. The gate is a write lease on the bitmap: the retire step's open
// of it waits until the test has written the newcomer and let go.
TEST(Retire, KeepsAChangedBitmapUnderAFreeNameWhenItsOwnIsTaken)
{
    const TempDir dir;
    const QString bitmap = dir.file("c1a00001.bmp");
    writeAll(bitmap, "the picture that was read");
    writeAll(dir.file("c1a00000.JPG"), "its JPEG");
    const FileIdentity read = SourceFile(bitmap).identity();
    writeAll(bitmap, "the picture that was read, and more"); // rewritten in place

    const int gate = ::open(qPrintable(bitmap), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::fcntl(gate, F_SETLEASE, F_WRLCK), 0) << "the test needs to own the file";
    Retire::Outcome outcome;
    std::thread retire([&] { outcome = Retire::retireBitmap(dir.file("c1a00000.JPG"), bitmap, read); });
    while (::fcntl(gate, F_GETLEASE) == F_WRLCK)
        std::this_thread::yield(); // until the retire step opens it, set aside
    writeAll(bitmap, "a newcomer");
    ::fcntl(gate, F_SETLEASE, F_UNLCK);
    ::close(gate);
    retire.join();

    EXPECT_EQ(outcome.fate, Retire::Fate::KeptAs) << Retire::describe(outcome).toStdString();
    EXPECT_EQ(outcome.keptName, "c1a00000.bmp");
    EXPECT_EQ(readAll(bitmap), "a newcomer");
    EXPECT_EQ(readAll(dir.file("c1a00000.bmp")), "the picture that was read, and more");
    EXPECT_EQ(dirEntries(dir.path()).filter(".fw-").size(), 0);
}

#endif

// -j above 1: the JPEG waits under a temporary name; when another writer
// takes the number found free before it is published, it takes the next.
TEST(Retire, PreparedJpegTakesTheNextNumberWhenItsNameIsTaken)
{
    const TempDir dir;
    const QByteArray jpeg = "the new JPEG";
    SafeFile::Prepared prepared = SafeFile::prepare(
        dir.path(), {reinterpret_cast<const std::uint8_t*>(jpeg.constData()), std::size_t(jpeg.size())});
    const Retire::Published published = Retire::publish(dir.path() + '/', "c1a0", 0, [&](const QString& target) {
        if (!QFile::exists(dir.file("c1a00000.JPG")))
            writeAll(dir.file("c1a00000.JPG"), "another writer's JPEG");
        return prepared.publish(target);
    });
    EXPECT_EQ(published.outcome, SafeFile::Outcome::Written);
    EXPECT_EQ(published.number, 1);
    EXPECT_EQ(readAll(dir.file("c1a00000.JPG")), "another writer's JPEG");
    EXPECT_EQ(readAll(dir.file("c1a00001.JPG")), jpeg);
    EXPECT_EQ(dirEntries(dir.path()).filter(".fw-").size(), 0);
}
