#include "TempDir.h"
#include "engine/mChrono.h"
#include "engine/mFileOp.h"

#include <QFile>
#include <QProcess>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

// The desktop's opener is a script, first on PATH, that records its argument.
TEST(FileOp, ShellOpenHandsTheDesktopAWebAddressOrAFile)
{
    const fwtest::TempDir dir;
    const QString opener = dir.file("xdg-open"), arg = opener + ".arg";
    fwtest::writeAll(opener, "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.tmp\"; mv \"$0.tmp\" \"$0.arg\"\n");
    QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner);
    fwtest::writeAll(dir.file("shot.bmp"), "");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit() + ':' + path);
    auto opened = [&](const QString& target) -> QString {
        QFile::remove(arg);
        if (mFileOp::ShellOpen(target) <= 32)
            return "failed";
        for (int i = 0; i < 1000 && !QFile::exists(arg); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fwtest::readAll(arg); // throws when the opener never ran
    };
    const QString rows[][2] = {{"quenk.example.org", "https://quenk.example.org"},
                               {"http://quenk.example.org/a?b=1", "http://quenk.example.org/a?b=1"},
                               {dir.file("shot.bmp"), dir.file("shot.bmp")},
                               {"", "failed"}};
    for (const auto& [target, expected] : rows)
        EXPECT_EQ(opened(target), expected) << target.toStdString();
    qputenv("PATH", dir.file("nowhere").toLocal8Bit());
    EXPECT_EQ(opened("quenk.example.org"), "failed") << "no opener";
    qputenv("PATH", path);
}

// Each wait ends on its condition or waits out its deadline, handling
// events. (How soon it ends, and what it costs, are speed goals for
// benchmarks.)
TEST(FileOp, WaitsEndOnTheirConditionOrAtTheirDeadline)
{
    using namespace mFileOp;
    const fwtest::TempDir dir;
    const QString here = dir.file("here.JPG"), later = dir.file("later.JPG"), growing = dir.file("growing.JPG");
    fwtest::writeAll(here, "jpeg");
    const struct {
        const char* name;
        std::function<bool()> wait;
        bool result;
        int minMs;
    } rows[] = {
        {"pause, handling events throughout",
         [] {
             QTimer ticker;
             int ticks = 0;
             QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
             ticker.start(20);
             return mChrono::Pause(500), ticks >= 10;
         },
         true, 500},
        {"file that stays", [&] { return WaitWhileFileExists(here, 500); }, false, 500},
        {"file written meanwhile",
         [&] {
             QTimer::singleShot(100, [&] { fwtest::writeAll(later, "x"); });
             return WaitForFile(later, 3000);
         },
         true, 300},
        {"file that keeps growing",
         [&] {
             QProcess writer;
             writer.start("sh", {"-c", "while :; do echo more bytes >> \"$0\"; sleep 0.02; done", growing});
             const bool result = writer.waitForStarted() && WaitForFile(growing, 700);
             writer.kill(), writer.waitForFinished();
             return result;
         },
         true, 700},
    };
    for (const auto& r : rows) {
        const std::int64_t start = mChrono::TickCount();
        EXPECT_EQ(r.wait(), r.result) << r.name;
        EXPECT_GE(mChrono::TickCount() - start, r.minMs) << r.name;
    }
}
