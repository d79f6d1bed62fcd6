// What a converter that died left in a folder comes back or goes at the
// next start; what a live converter holds locked is never touched.
#include "core/Recovery.h"
#include "TempDir.h"
#include "TestUtil.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

using namespace fwtest;

TEST(Recovery, PutsBackWhatTheDeadLeftAndLeavesTheLiving)
{
    struct Row {
        const char* left;     // the private file found
        const char* taken;    // another file that has the bitmap's name now, or null
        bool locked;          // a live converter holds it
        const char* becomes;  // where its bytes are afterwards
        const char* reported; // the bitmap to convert, or null
    };
    const Row rows[] = {
        {".fw-k3x9q2.tmp", nullptr, false, nullptr, nullptr},
        {".fw-k3x9q2.tmp", nullptr, true, ".fw-k3x9q2.tmp", nullptr},
        {".fw-k3x9q2.del.c1a00001.bmp", nullptr, false, "c1a00001.bmp", "c1a00001.bmp"},
        {".fw-k3x9q2.del.c1a00001.bmp", "c1a00001.bmp", false, "c1a00000.bmp", "c1a00000.bmp"},
        {".fw-k3x9q2.del.c1a00001.bmp", nullptr, true, ".fw-k3x9q2.del.c1a00001.bmp", nullptr},
        {".fw-k3x9q2.del", nullptr, false, "recovered0000.bmp", "recovered0000.bmp"}, // an older version's
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.left) + (row.locked ? ", locked" : "") + (row.taken ? ", name taken" : ""));
        const TempDir dir;
        writeAll(dir.file(row.left), "BM its bytes");
        if (row.taken)
            writeAll(dir.file(row.taken), "another file");
        const int holder = ::open(qPrintable(dir.file(row.left)), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(row.locked ? ::flock(holder, LOCK_SH) : 0, 0);

        const Recovery::Recovered found = Recovery::recover(dir.path());
        ::close(holder);
        EXPECT_EQ(found.bitmaps, row.reported ? QStringList{row.reported} : QStringList());
        EXPECT_EQ(found.temporariesRemoved, !row.locked && !row.becomes ? 1 : 0);
        QStringList expected = {row.becomes, row.taken};
        expected.removeAll(QString());
        expected.sort();
        EXPECT_EQ(dirEntries(dir.path()), expected);
        EXPECT_EQ(row.becomes ? readAll(dir.file(row.becomes)) : "BM its bytes", "BM its bytes");
        EXPECT_EQ(row.taken ? readAll(dir.file(row.taken)) : "another file", "another file");
    }
}
