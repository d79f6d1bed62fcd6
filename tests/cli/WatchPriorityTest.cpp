// The priority a watch really runs at, read from the outside thread by
// thread: a watch that never lowered itself, or lowered only its first
// thread, would take the game's frames unseen by every other test.
#include "CliSupport.h"
#include "TempDir.h"
#include "ThreadPriority.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace clitest;
using namespace fwtest;

TEST(WatchPriority, EveryThreadRunsAtThePriorityAskedFor)
{
    // Idle by default; the usual priority with --normal-priority.
    for (const bool idle : {true, false}) {
        SCOPED_TRACE(idle ? "by default" : "--normal-priority");
        TempDir in, out;
        QProcess watch;
        watch.setProcessChannelMode(QProcess::MergedChannels);
        startConvert(watch, QStringList{"--watch", "-j", "2", in.path(), out.path()}
                                + (idle ? QStringList() : QStringList{"--normal-priority"}));
        QString said;
        ASSERT_TRUE(readUntil(watch, said, [&] { return said.contains("Stop with"); })) << said.toStdString();
        // A screenshot converted first: the threads that convert have been
        // started, and those still there are read too.
        writeShots(in, "c1a0%1.bmp", 1);
        ASSERT_TRUE(readUntil(watch, said, [&] { return !entries(out.path(), "*.JPG").isEmpty(); }))
            << said.toStdString();

        const std::vector<ThreadPriority> threads = threadPriorities(watch.processId());
        EXPECT_FALSE(threads.empty());
        for (const ThreadPriority& thread : threads) {
            EXPECT_EQ(thread.idleProcessor, idle) << thread.shown.toStdString();
            EXPECT_EQ(thread.idleDisk, idle) << thread.shown.toStdString();
        }
        watch.kill();
        watch.waitForFinished();
    }
}
