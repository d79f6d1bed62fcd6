// What a converter that died left in a folder comes back or goes at the
// next start; what a live converter holds locked is never touched.
#include "core/Recovery.h"
#include "TempDir.h"
#include "TestUtil.h"

#include "core/os/NativeFile.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace fwtest;

TEST(Recovery, PutsBackWhatTheDeadLeftAndLeavesTheLiving)
{
    struct Row {
        const char* left;     // the private file found
        const char* taken;    // another file that has the bitmap's name now, or null
        bool locked;          // a live converter holds it
        const char* after;    // the folder's entries afterwards
        const char* reported; // the bitmap to convert, or null
    };
    const Row rows[] = {
        {".fw-k3x9q2.tmp", nullptr, false, "", nullptr},
        {".fw-k3x9q2.del.c1a00001.bmp", nullptr, false, "c1a00001.bmp", "c1a00001.bmp"},
        {".fw-k3x9q2.del.c1a00001.bmp", "c1a00001.bmp", false, "c1a00000.bmp c1a00001.bmp", "c1a00000.bmp"},
        {".fw-k3x9q2.del.c1a00001.bmp", nullptr, true, ".fw-k3x9q2.del.c1a00001.bmp", nullptr},
        {".fw-k3x9q2.del", nullptr, false, "recovered0000.bmp", "recovered0000.bmp"}, // an older version's
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.left) + (row.locked ? ", locked" : "") + (row.taken ? ", name taken" : ""));
        const TempDir dir;
        writeAll(dir.file(row.left), "BM its bytes");
        if (row.taken)
            writeAll(dir.file(row.taken), "another file");
        // Held as the converter that made it holds it.
        NativeFile::Descriptor holder;
        if (row.locked) {
            NativeFile::Status status;
            holder = NativeFile::openForReading(dir.file(row.left), status);
            ASSERT_TRUE(NativeFile::holdAsPrivate(holder.get(), dir.file(row.left)));
        }

        const Recovery::Recovered found = Recovery::recover(dir.path(), dir.path());
        holder.close();
        EXPECT_EQ(found.bitmaps, row.reported ? QStringList{row.reported} : QStringList());
        EXPECT_EQ(found.temporariesRemoved, *row.after ? 0 : 1);
        EXPECT_EQ(dirEntries(dir.path()).join(' '), row.after);
        for (const QString& name : dirEntries(dir.path()))
            EXPECT_EQ(readAll(dir.file(name)), name == row.taken ? "another file" : "BM its bytes");
    }
}
