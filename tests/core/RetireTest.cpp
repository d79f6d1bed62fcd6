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
