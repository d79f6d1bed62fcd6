// The game keeps its frames: a stand-in game (two threads, each with a
// fixed amount of work per 16.7 ms frame) runs while a burst of full-HD
// screenshots lands in a watched folder, three ways: with no converter (the
// machine's own noise), with the watch at the usual priority, and with the
// watch as it runs by default, at idle priority. Rounds are interleaved, so
// that the machine's changing load falls on all three alike.
// Usage: fwbench_cli_frames CONVERTER [ROUNDS]. Prints a Markdown table.
#include "GameScene.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr auto kFrame = std::chrono::microseconds(16667);
constexpr double kWorkMs = 8;
constexpr int kFrames = 720;
constexpr int kShots = 50;
constexpr auto kBurstAt = std::chrono::milliseconds(1500);

// The game's work: arithmetic that the compiler cannot drop.
double work(long steps)
{
    volatile double x = 1.0;
    for (long i = 0; i < steps; ++i)
        x = x * 1.0000001 + 0.0000001;
    return x;
}

// The number of steps that take kWorkMs on this machine when nothing else
// runs: the quickest of several tries.
long stepsPerFrame()
{
    constexpr long probe = 2000000;
    double best = 1e9;
    for (int i = 0; i < 9; ++i) {
        const auto start = Clock::now();
        work(probe);
        best = std::min(best, Ms(Clock::now() - start).count());
    }
    return long(probe * kWorkMs / best);
}

struct Frames {
    int late = 0;
    std::vector<double> times; // from one frame shown to the next
};

// One game thread: each frame is shown at its deadline, or late when its
// work ends after it.
Frames playGame(long steps)
{
    Frames f;
    auto shown = Clock::now();
    for (int i = 0; i < kFrames; ++i) {
        const auto deadline = shown + kFrame;
        work(steps);
        const auto done = Clock::now();
        if (done > deadline)
            ++f.late;
        else
            std::this_thread::sleep_until(deadline);
        const auto now = std::max(done, deadline);
        f.times.push_back(Ms(now - shown).count());
        shown = now;
    }
    return f;
}

struct Round {
    int late = 0;
    double p99 = 0;
    int jpegs = 0;
};

Round play(const QString& converter, const QStringList& priority, const QByteArray& bitmap, long steps)
{
    QTemporaryDir in, out;
    QProcess watch;
    if (!converter.isEmpty()) {
        watch.setStandardOutputFile(QProcess::nullDevice());
        watch.start(converter, QStringList{"--watch", "--new-only"} + priority + QStringList{in.path(), out.path()});
        QByteArray said;
        while (!said.contains("Stop with") && watch.waitForReadyRead(10000))
            said += watch.readAllStandardError();
    }
    std::thread shots([&] {
        std::this_thread::sleep_for(kBurstAt);
        for (int i = 0; i < kShots; ++i) {
            const QByteArray path = QFile::encodeName(in.filePath(QString("c2a5%1.bmp").arg(i, 4, 10, QChar('0'))));
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::write(fd, bitmap.constData(), size_t(bitmap.size())) != bitmap.size())
                std::abort();
            ::close(fd);
        }
    });
    Frames a, b;
    std::thread second([&] { b = playGame(steps); });
    a = playGame(steps);
    second.join();
    shots.join();

    Round r;
    r.late = a.late + b.late;
    std::vector<double> times = a.times;
    times.insert(times.end(), b.times.begin(), b.times.end());
    std::sort(times.begin(), times.end());
    r.p99 = times[times.size() * 99 / 100];
    if (!converter.isEmpty()) {
        // The converter has what time the game leaves over: its JPEGs come
        // once the game has stopped, at the latest.
        const auto giveUp = Clock::now() + std::chrono::seconds(120);
        while (QDir(out.path()).entryList({"*.JPG"}).size() < kShots && Clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        r.jpegs = int(QDir(out.path()).entryList({"*.JPG"}).size());
        watch.terminate();
        watch.waitForFinished();
    }
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: fwbench_cli_frames CONVERTER [ROUNDS]\n");
        return 2;
    }
    const QString converter = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 2;
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    buffer.open(QIODevice::WriteOnly);
    renderGameScene({1920, 1080}, 5).convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    const long steps = stepsPerFrame();

    struct Way {
        const char* name;
        QString converter;
        QStringList priority;
        std::vector<Round> rounds;
    };
    std::vector<Way> ways = {{"no converter (the machine's own noise)", {}, {}, {}},
                             {"`--watch --normal-priority`", converter, {"--normal-priority"}, {}},
                             {"`--watch` (idle priority, the default)", converter, {}, {}}};
    for (int i = 0; i < rounds; ++i) {
        for (Way& way : ways)
            way.rounds.push_back(play(way.converter, way.priority, bitmap, steps));
    }

    std::printf("| stand-in game: 2 threads, %.0f ms of work per 16.7 ms frame, %d frames; %d full-HD screenshots "
                "arrive %.1f s in | late frames | 99th percentile of frame time | JPEGs written |\n",
                kWorkMs, kFrames, kShots, kBurstAt.count() / 1000.0);
    std::printf("|---|--:|--:|--:|\n");
    for (const Way& way : ways) {
        QStringList late, p99, jpegs;
        for (const Round& r : way.rounds) {
            late << QString::number(r.late);
            p99 << QString::number(r.p99, 'f', 1);
            jpegs << QString::number(r.jpegs);
        }
        std::printf("| %s | %s | %s ms | %s |\n", way.name, qPrintable(late.join(", ")), qPrintable(p99.join(", ")),
                    way.converter.isEmpty() ? "-" : qPrintable(jpegs.join(", ")));
    }
    return 0;
}
