// The steps after encoding, shared by both programs: a bitmap is deleted
// only when it is still the very file that was read, whatever happened to
// its name meanwhile.
#include "EngineTestUtil.h"
#include "TempDir.h"
#include "core/NativeName.h"
#include "core/ReadError.h"
#include "core/Retire.h"
#include "core/SourceFile.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

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
             ASSERT_EQ(::rename(qPrintable(dir.file(".save.tmp")), qPrintable(bitmap)), 0);
         },
         Retire::Fate::Changed, true},
        {"rewritten in place",
         [](const TempDir&, const QString& bitmap) {
             QFile file(bitmap);
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write("more");
         },
         Retire::Fate::Changed, true},
        {"opened for writing",
         [&writer](const TempDir&, const QString& bitmap) {
             writer = std::make_unique<QFile>(bitmap);
             ASSERT_TRUE(writer->open(QIODevice::Append));
         },
         Retire::Fate::Changed, true},
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

TEST(Retire, ABitmapWhoseJpegCannotBeConfirmedStays)
{
    const TempDir dir;
    writeAll(dir.file("c1a00001.bmp"), "picture");
    const FileIdentity read = SourceFile(dir.file("c1a00001.bmp")).identity();
    EXPECT_EQ(Retire::retireBitmap(dir.file("gone.JPG"), dir.file("c1a00001.bmp"), read).fate,
              Retire::Fate::NotDurable);
    EXPECT_TRUE(QFile::exists(dir.file("c1a00001.bmp")));
}

// Read while a writer holds it, or changed while read: never taken.
TEST(SourceFile, AFileStillBeingWrittenIsNotRead)
{
    const TempDir dir;
    writeAll(dir.file("shot.bmp"), "header");
    QFile writer(dir.file("shot.bmp"));
    ASSERT_TRUE(writer.open(QIODevice::Append));
    EXPECT_THROW(SourceFile{dir.file("shot.bmp")}, StillBeingWritten);
    writer.close();

    SourceFile source(dir.file("shot.bmp"));
    EXPECT_NO_THROW(source.checkUnchanged());
    writeAll(dir.file("shot.bmp"), "header and pixels"); // the same file, rewritten
    EXPECT_THROW(source.checkUnchanged(), StillBeingWritten);
    EXPECT_THROW(SourceFile{dir.file("none.bmp")}, ReadError);
}

// Names that are not UTF-8 keep every byte on their way through the program.
TEST(NativeName, EveryByteComesBack)
{
    const QByteArray names[] = {
        "plain0001.bmp", "caf\xc3\xa9" "0001.bmp", "caf\xe9" "0001.bmp", "\xc0\xaf" "overlong.bmp",
        "\xed\xa0\x80" "surrogate.bmp", "cut\xf0\x9f\x98", "\xf0\x9f\x98\x80" "emoji.bmp", "\x80\xff",
    };
    for (const QByteArray& bytes : names) {
        const QString name = NativeName::decode(bytes);
        EXPECT_EQ(NativeName::encode(name), bytes) << bytes.toHex().toStdString();
        EXPECT_EQ(NativeName::printable(name).toUtf8().contains("\xef\xbf\xbd"), false);
    }
    EXPECT_EQ(NativeName::printable(NativeName::decode("caf\xe9" "0001.bmp")), "caf\\xE90001.bmp");
}
