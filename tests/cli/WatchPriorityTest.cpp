// The priority a watch really runs at, read from the outside thread by
// thread: a watch that never lowered itself, or lowered only its first
// thread, would take the game's frames unseen by every other test.
#include "CliSupport.h"
#include "TempDir.h"
#include "ThreadPriority.h"

#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>

using namespace clitest;
using namespace fwtest;

namespace {

constexpr int kPatienceMs = 60000;

bool waitFor(QProcess& p, QByteArray& said, const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < kPatienceMs && p.state() == QProcess::Running) {
        p.waitForReadyRead(20);
        said += p.readAll();
    }
    return done();
}

} // namespace

TEST(WatchPriority, EveryThreadRunsAtThePriorityAskedFor)
{
    struct Row {
        const char* name;
        QStringList options;
        bool idle;
    };
    const Row rows[] = {
        {"idle, by default", {}, true},
        {"the usual one, with --normal-priority", {"--normal-priority"}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir in, out;
        QProcess watch;
        watch.setProcessChannelMode(QProcess::MergedChannels);
        startConvert(watch, QStringList{"--watch", "-j", "2"} + row.options + QStringList{in.path(), out.path()});
        QByteArray said;
        ASSERT_TRUE(waitFor(watch, said, [&] { return said.contains("Stop with"); })) << said.toStdString();
        // A screenshot converted first: the threads that convert have been
        // started, and those still there are read too.
        writeShots(in, "c1a0%1.bmp", 1);
        ASSERT_TRUE(waitFor(watch, said, [&] { return !entries(out.path(), "*.JPG").isEmpty(); }))
            << said.toStdString();

        const std::vector<ThreadPriority> threads = threadPriorities(watch.processId());
        EXPECT_FALSE(threads.empty());
        for (const ThreadPriority& thread : threads) {
            EXPECT_EQ(thread.idleProcessor, row.idle) << thread.shown.toStdString();
            EXPECT_EQ(thread.idleDisk, row.idle) << thread.shown.toStdString();
        }
        watch.kill();
        watch.waitForFinished();
    }
}
