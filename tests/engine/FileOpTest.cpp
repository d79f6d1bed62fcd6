#include "TempDir.h"
#include "engine/mChrono.h"
#include "engine/mFileOp.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

std::int64_t elapsedSince(std::int64_t start)
{
    return mChrono::TickCount() - start;
}

} // namespace

TEST(FileOp, FormatPathAddsOneSeparator)
{
    EXPECT_EQ(mFileOp::FormatPath("/games/hl"), "/games/hl/");
    EXPECT_EQ(mFileOp::FormatPath("/games/hl/"), "/games/hl/");
    EXPECT_EQ(mFileOp::FormatPath("/"), "/");
    EXPECT_EQ(mFileOp::FormatPath(""), "/");
}

TEST(FileOp, FileAndDirectoryTests)
{
    const fwtest::TempDir dir;
    fwtest::writeAll(dir.file("a.bmp"), "12345");
    EXPECT_TRUE(mFileOp::FileExists(dir.file("a.bmp")));
    EXPECT_EQ(mFileOp::FileLength(dir.file("a.bmp")), 5);
    EXPECT_FALSE(mFileOp::FileExists(dir.file("missing.bmp")));
    EXPECT_FALSE(mFileOp::FileExists(""));
    EXPECT_FALSE(mFileOp::FileExists(dir.path())) << "a directory has no file length";

    EXPECT_TRUE(mFileOp::DirExists(dir.dir()));
    EXPECT_TRUE(mFileOp::DirExists(dir.path()));
    EXPECT_FALSE(mFileOp::DirExists(dir.file("missing/")));
    EXPECT_FALSE(mFileOp::DirExists(dir.file("a.bmp")));
    EXPECT_FALSE(mFileOp::DirExists("/")) << "shorter than 3 characters";
    EXPECT_FALSE(mFileOp::DirExists("C:"));
    EXPECT_TRUE(mFileOp::DirExists("/tmp"));
}

TEST(Chrono, PauseOfZeroHandlesNoEventsAndAPauseHandlesThemThroughout)
{
    int fired = 0;
    QTimer::singleShot(0, [&] { ++fired; });
    mChrono::Pause(0);
    mChrono::Pause(-5);
    EXPECT_EQ(fired, 0);

    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++fired; });
    ticker.start(20);
    const auto start = mChrono::TickCount();
    mChrono::Pause(300);
    EXPECT_GE(elapsedSince(start), 300);
    EXPECT_GE(fired, 5) << "events were handled while pausing";
}

TEST(FileOp, WaitWhileFileExists)
{
    const fwtest::TempDir dir;
    auto start = mChrono::TickCount();
    EXPECT_TRUE(mFileOp::WaitWhileFileExists(dir.file("gone.bmp"), 5000));
    EXPECT_LT(elapsedSince(start), 1000);

    fwtest::writeAll(dir.file("stays.bmp"), "x");
    start = mChrono::TickCount();
    EXPECT_FALSE(mFileOp::WaitWhileFileExists(dir.file("stays.bmp"), 150));
    EXPECT_GE(elapsedSince(start), 150);

    // A file removed by an event handled during the wait.
    fwtest::writeAll(dir.file("later.bmp"), "x");
    QTimer::singleShot(50, [&] { QFile::remove(dir.file("later.bmp")); });
    EXPECT_TRUE(mFileOp::WaitWhileFileExists(dir.file("later.bmp"), 5000));
}

TEST(FileOp, WaitForFileCompleteMissingAndGrowing)
{
    const fwtest::TempDir dir;
    fwtest::writeAll(dir.file("done.JPG"), "jpeg");
    auto start = mChrono::TickCount();
    EXPECT_TRUE(mFileOp::WaitForFile(dir.file("done.JPG"), 1500));
    EXPECT_GE(elapsedSince(start), 200) << "one stability pass";
    EXPECT_LT(elapsedSince(start), 1400);

    start = mChrono::TickCount();
    EXPECT_FALSE(mFileOp::WaitForFile(dir.file("never.JPG"), 300));
    EXPECT_GE(elapsedSince(start), 300);

    // A file that appears during the wait.
    QTimer::singleShot(100, [&] { fwtest::writeAll(dir.file("soon.JPG"), "x"); });
    EXPECT_TRUE(mFileOp::WaitForFile(dir.file("soon.JPG"), 3000));

    // A file that keeps growing ends the wait at its deadline.
    const QString growing = dir.file("growing.JPG");
    fwtest::writeAll(growing, "");
    std::atomic<bool> stop = false;
    std::thread writer([&] {
        QFile f(growing);
        if (!f.open(QIODevice::Append | QIODevice::Unbuffered))
            return;
        while (!stop) {
            f.write("more bytes");
            std::this_thread::sleep_for(20ms);
        }
    });
    start = mChrono::TickCount();
    EXPECT_TRUE(mFileOp::WaitForFile(growing, 700));
    EXPECT_GE(elapsedSince(start), 700);
    stop = true;
    writer.join();
}
