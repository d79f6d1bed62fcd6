// The steps after encoding, shared by both programs: a bitmap is deleted
// only when it is still the very file that was read, whatever happened to
// its name meanwhile.
#include "core/Retire.h"
#include "TempDir.h"
#include "TestUtil.h"
#include "core/PrivateName.h"
#include "core/SourceFile.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace fwtest;

namespace {

#ifdef Q_OS_WIN
const bool kHandlesFollowTheFile = !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
#else
const bool kHandlesFollowTheFile = false;
#endif

// A bitmap as a run has it after reading: its identity, and the descriptor
// it was read through.
struct ReadBitmap {
    FileIdentity identity;
    std::shared_ptr<NativeFile::Descriptor> held;
};

// What a file holds, read as the retire step's descriptor allows while it
// holds the file (on Windows it shares deleting, which a plain open refuses).
QByteArray contentOf(const QString& path)
{
    NativeFile::Status status;
    const NativeFile::Descriptor fd = NativeFile::openForReading(path, status);
    QFile file;
    return fd && file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle) ? file.readAll() : QByteArray();
}

ReadBitmap readBitmap(const QString& path)
{
    SourceFile source(path);
    return {source.identity(), source.release()};
}

// The steps a run takes for one bitmap with Delete ticked: its JPEG
// published through the retirement, then the bitmap retired.
Retire::Outcome convertAndRetire(const QString& bitmap, const ReadBitmap& read, const QString& outputDir,
                                 const QByteArray& jpeg = "its JPEG")
{
    Retire::Retirement retirement(bitmap, read.held, read.identity);
    const Retire::Published published = Retire::publish(
        outputDir, "c1a0", 0,
        [&](const QString& target, const SafeFile::BeforeNaming& beforeNaming) {
            return SafeFile::write(target, bytesOf(jpeg), SafeFile::Publish::NoReplace, beforeNaming);
        },
        ScreenshotList::kNumberCount, &retirement);
    EXPECT_EQ(published.result.outcome, SafeFile::Outcome::Written);
    return retirement.finish(published.result);
}

} // namespace

TEST(Retire, DeletesOnlyTheFileThatWasRead)
{
    struct Row {
        const char* what;
        std::function<void(const TempDir&, const QString& bitmap)> meanwhile;
        Retire::Fate fate;
        const char* left; // the folder's entries afterwards, the JPEG aside
    };
    std::unique_ptr<QFile> writer; // a writer that holds the bitmap open
    const Row rows[] = {
        {"unchanged", [](const TempDir&, const QString&) {}, Retire::Fate::Deleted, ""},
        // The file read is renamed away, and a newcomer takes its name. The
        // newcomer is never touched. Windows moves and deletes the file read
        // through its handle, wherever it went; Linux cannot move a file by
        // its descriptor, and Wine's handles keep the name they were opened
        // by: both find that the name holds another file, and keep both.
        {"renamed away, a newcomer under its name",
         [](const TempDir& dir, const QString& bitmap) {
             ASSERT_TRUE(QFile::rename(bitmap, dir.file("renamed.bmp")));
             writeAll(bitmap, "a newcomer");
         },
         kHandlesFollowTheFile ? Retire::Fate::Deleted : Retire::Fate::Changed,
         kHandlesFollowTheFile ? "c1a00001.bmp" : "c1a00001.bmp renamed.bmp"},
#ifndef Q_OS_WIN
        // Windows: another program's delete of a file we hold only marks it
        // pending under Wine, and nobody can write a file we hold open.
        {"gone", [](const TempDir&, const QString& bitmap) { QFile::remove(bitmap); }, Retire::Fate::AlreadyGone, ""},
        {"rewritten in place",
         [](const TempDir&, const QString& bitmap) { writeAll(bitmap, "the picture that was read, and more"); },
         Retire::Fate::Changed, "c1a00001.bmp"},
        {"opened for writing",
         [&writer](const TempDir&, const QString& bitmap) {
             writer = std::make_unique<QFile>(bitmap);
             ASSERT_TRUE(writer->open(QIODevice::Append));
         },
         Retire::Fate::StillWritten, "c1a00001.bmp"},
        // The link goes, as the window always deleted the name it read; the
        // picture stays in the file it points to.
        {"a symbolic link",
         [](const TempDir& dir, const QString& bitmap) {
             ASSERT_TRUE(QFile::rename(bitmap, dir.file("elsewhere")));
             ASSERT_TRUE(QFile::link(dir.file("elsewhere"), bitmap));
         },
         Retire::Fate::Deleted, "elsewhere"},
#endif
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const TempDir dir, out;
        const QString bitmap = dir.file("c1a00001.bmp");
        writeAll(bitmap, "the picture that was read");
        // A link is read as the file it points to.
        const bool link = std::string_view(row.what) == "a symbolic link";
        if (link)
            row.meanwhile(dir, bitmap);
        const ReadBitmap read = readBitmap(bitmap);
        if (!link)
            row.meanwhile(dir, bitmap);
        const QByteArray after = contentOf(bitmap);

        const Retire::Outcome outcome = convertAndRetire(bitmap, read, out.path());
        writer.reset();
        EXPECT_EQ(outcome.fate, row.fate) << Retire::describe(outcome).toStdString();
        EXPECT_EQ(dirEntries(dir.path()).join(' '), row.left);
        if (QFile::exists(bitmap)) {
            EXPECT_EQ(contentOf(bitmap), after) << "the file kept is the one that was there";
        }
        EXPECT_EQ(dirEntries(out.path()).join(' '), "c1a00000.JPG");
    }
}

// A JPEG whose bytes did not reach the disk keeps its bitmap; so does one
// whose name did not. Reached through real flushes in the command line's
// tests; here the retirement is told.
TEST(Retire, KeepsTheBitmapWhenItsJpegIsNotDurable)
{
    const TempDir dir;
    const QString bitmap = dir.file("c1a00001.bmp");
    writeAll(bitmap, "the picture that was read");
    for (const bool bytesFlushed : {false, true}) {
        SCOPED_TRACE(bytesFlushed ? "the name was not flushed" : "the bytes were not flushed");
        const ReadBitmap read = readBitmap(bitmap);
        Retire::Retirement retirement(bitmap, read.held, read.identity);
        retirement.beforeNaming(0, bytesOf("its JPEG"), bytesFlushed);
        const Retire::Outcome outcome = retirement.finish({SafeFile::Outcome::Written, {}, false});
        EXPECT_EQ(outcome.fate, Retire::Fate::NotDurable);
        EXPECT_EQ(dirEntries(dir.path()).join(' '), "c1a00001.bmp");
    }
}

// -j above 1: the JPEG waits under a temporary name; when another writer
// takes the number found free before it is published, it takes the next,
// and the bitmap set aside records the number it took.
TEST(Retire, PreparedJpegTakesTheNextNumberWhenItsNameIsTaken)
{
    const TempDir dir, out;
    const QString bitmap = dir.file("c1a00001.bmp");
    writeAll(bitmap, "the picture that was read");
    const ReadBitmap read = readBitmap(bitmap);
    Retire::Retirement retirement(bitmap, read.held, read.identity);
    const QByteArray jpeg = "the new JPEG";
    SafeFile::Prepared prepared = SafeFile::prepare(out.path(), bytesOf(jpeg), SafeFile::Durability::Now);
    QStringList asides;
    const Retire::Published published = Retire::publish(
        out.path() + '/', "c1a0", 0,
        [&](const QString& target, const SafeFile::BeforeNaming& beforeNaming) {
            beforeNaming(bytesOf(jpeg), prepared.flushed());
            asides << dirEntries(dir.path()).filter(".fw-");
            if (!QFile::exists(out.file("c1a00000.JPG")))
                writeAll(out.file("c1a00000.JPG"), "another writer's JPEG");
            return prepared.publish(target);
        },
        ScreenshotList::kNumberCount, &retirement);
    EXPECT_EQ(published.result.outcome, SafeFile::Outcome::Written);
    EXPECT_EQ(published.number, 1);
    ASSERT_EQ(asides.size(), 2);
    EXPECT_EQ(PrivateName::parse(asides[0])->journal->number, 0);
    EXPECT_EQ(PrivateName::parse(asides[1])->journal->number, 1);
    EXPECT_EQ(retirement.finish(published.result).fate, Retire::Fate::Deleted);
    EXPECT_EQ(readAll(out.file("c1a00000.JPG")), "another writer's JPEG");
    EXPECT_EQ(readAll(out.file("c1a00001.JPG")), jpeg);
    EXPECT_EQ(dirEntries(dir.path()).filter(".fw-").size(), 0);
    EXPECT_EQ(dirEntries(out.path()).join(' '), "c1a00000.JPG c1a00001.JPG");
}
