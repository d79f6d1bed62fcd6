// A crash at any moment costs time, never a screenshot, never makes a
// second JPEG of one, and leaves nothing behind that the next start does
// not clean up. strace kills the converter at the Nth call of each
// file-system call, for every N it reaches; the user then runs it again.
// Every picture must have exactly one JPEG, no bitmap may be left, and no
// private file in either folder.
#include "CliSupport.h"
#include "TempDir.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <set>

using namespace clitest;
using namespace fwtest;

TEST(CrashPoints, EveryCrashIsRecoveredByTheNextStart)
{
    constexpr int kShots = 6;
    const QStringList run = {"-d", "-j", "2"};
    int tried = 0, lost = 0, duplicated = 0, leftBehind = 0;
    for (const char* call : {"openat", "write", "fsync", "renameat2", "unlink", "flock", "close", "fstat"}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(QString("killed at %1 number %2").arg(call).arg(n).toStdString());
            TempDir in, out;
            writeShots(in, "c1a0%1.bmp", kShots);
            QProcess killed;
            startTraced(killed, {"-o", "/dev/null", "-e", QString("inject=%1:signal=KILL:when=%2").arg(call).arg(n)},
                        run + QStringList{in.path(), out.path()});
            const Result crash = finish(killed);
            if (crash.code == 0)
                break; // the run no longer reaches that call
            ++tried;

            const Result again = convert(run + QStringList{in.path(), out.path()});
            EXPECT_EQ(again.code, 0) << again.lines.join('\n').toStdString() << again.errors.toStdString();
            const std::multiset<int> ids = idsOfJpegs(out.path());
            for (int id = 0; id < kShots; ++id) {
                EXPECT_EQ(ids.count(id), 1u) << "picture " << id;
                lost += ids.count(id) == 0;
                duplicated += ids.count(id) > 1 ? int(ids.count(id)) - 1 : 0;
            }
            EXPECT_EQ(ids.count(-1), 0u) << "a JPEG that shows no picture whole";
            const QStringList left = entries(in.path()) + entries(in.path(), ".*") + entries(out.path(), ".*");
            EXPECT_EQ(left.size(), 0) << left.join(' ').toStdString();
            leftBehind += int(left.size());
        }
    }
    std::printf("[ crash points ] %d tried: %d lost, %d duplicates, %d left behind\n", tried, lost, duplicated,
                leftBehind);
    EXPECT_GT(tried, 30);
}
