// The watch, measured three ways from the outside, for any build of the
// converter: natively, or a Windows build under Wine (--wine), whose
// screenshots a Windows program writes (cmd's copy), as the game would.
//   latency CONVERTER COUNT [--wine] [OPTION...]
//     from the moment a writer closes a 1024 x 768 screenshot in the watched
//     folder (the close's IN_CLOSE_WRITE) to the moment its JPEG exists (the
//     publishing rename's IN_MOVED_TO): prints the median, smallest and
//     largest in milliseconds. OPTIONs go to the converter
//     (--normal-priority).
//   idle CONVERTER SECONDS FILES [--wine] [OPTION...]
//     the processor time the watch uses over SECONDS while nothing changes
//     in a folder of FILES files, from 5 s after its start: prints
//     milliseconds.
//   dump CONVERTER FRAMES [--wine] [OPTION...]
//     a recorded movie of FRAMES frames of 640 x 480 written into the watched folder one
//     after the other, as fast as the writer goes: prints the seconds from
//     the first frame's write to the last JPEG, and the writer's own seconds.
// The watch runs with --delete in a dump, so that the bitmaps do not pile up
// on the disk.
#include "GameScene.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int kPatienceMs = 60000;
constexpr int kSettleSeconds = 5;
constexpr int kQuietMs = 3000;

// How the converter runs and how its screenshots are written.
struct Setup {
    QString converter;
    bool wine = false;

    // A path as the converter is given it: Wine maps / to Z:.
    QString path(const QString& linuxPath) const
    {
        return wine ? "Z:" + QDir::toNativeSeparators(linuxPath).replace('/', '\\') : linuxPath;
    }
};

// The screenshot every write puts down: one rendered frame as a bitmap.
QByteArray frameBitmap(QSize size)
{
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    buffer.open(QIODevice::WriteOnly);
    renderGameScene(size, 3).convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bitmap;
}

// What happens in the watched folder and the output folder, as inotify
// sees it: the last close of each bitmap written, and each JPEG published.
class Folders {
public:
    Folders(const QString& in, const QString& out) : m_fd(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK))
    {
        m_in = ::inotify_add_watch(m_fd, QFile::encodeName(in).constData(), IN_CLOSE_WRITE);
        m_out = ::inotify_add_watch(m_fd, QFile::encodeName(out).constData(), IN_MOVED_TO | IN_CREATE);
    }
    ~Folders() { ::close(m_fd); }

    // Reads what happened in the next `ms` at most; false when nothing did.
    bool read(int ms)
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0)
            return false;
        const auto now = Clock::now();
        alignas(inotify_event) char buffer[16384];
        ssize_t length;
        while ((length = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (const char* at = buffer; at < buffer + length;) {
                const auto* e = reinterpret_cast<const inotify_event*>(at);
                const QByteArray name(e->len > 0 ? e->name : "");
                if (e->wd == m_in && name.endsWith(".bmp"))
                    closed.insert(name, now);
                if (e->wd == m_out && name.endsWith(".JPG") && !published.contains(name)) {
                    published.insert(name); // a name made and then renamed onto counts once
                    jpegs = int(published.size());
                    lastJpeg = now;
                }
                at += sizeof(inotify_event) + e->len;
            }
        }
        return true;
    }

    QHash<QByteArray, Clock::time_point> closed;
    QSet<QByteArray> published;
    int jpegs = 0;
    Clock::time_point lastJpeg;

private:
    int m_fd;
    int m_in = -1;
    int m_out = -1;
};

// The watch, started and waited for until it watches.
class Watch {
public:
    Watch(const Setup& setup, const QStringList& options, const QString& in, const QString& out)
    {
        // A line per file on stdout, unread, would fill the pipe and stop
        // the watch; its notes on stderr are few.
        m_process.setStandardOutputFile(QProcess::nullDevice());
        const QStringList args = options + QStringList{setup.path(in), setup.path(out)};
        if (setup.wine)
            m_process.start("wine", QStringList{setup.converter} + args);
        else
            m_process.start(setup.converter, args);
        m_process.setReadChannel(QProcess::StandardError);
        QByteArray said;
        while (!said.contains("Stop with") && m_process.waitForReadyRead(kPatienceMs))
            said += m_process.readAllStandardError();
        if (!said.contains("Stop with")) {
            std::fprintf(stderr, "the watch did not start: %s\n", said.constData());
            std::exit(1);
        }
    }
    ~Watch()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // User and system time of every thread, in milliseconds.
    double processorMs() const
    {
        QFile stat(QString("/proc/%1/stat").arg(m_process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        const QString text = QString::fromLatin1(stat.readAll());
        const QStringList fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        // utime and stime are fields 14 and 15, counted from the pid.
        const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
        return ticks * 1000.0 / double(::sysconf(_SC_CLK_TCK));
    }

private:
    QProcess m_process;
};

// Writes one file as the setup's writer does, and waits until it is written.
void writeFile(const Setup& setup, const QString& source, const QByteArray& bytes, const QString& target)
{
    if (setup.wine) {
        QProcess::execute("wine", {"cmd", "/c", "copy", "/y", setup.path(source), setup.path(target)});
        return;
    }
    const int file = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0 || ::write(file, bytes.constData(), size_t(bytes.size())) != bytes.size())
        std::exit(1);
    ::close(file);
}

// The frame every screenshot is a copy of, written once into `dir`: the
// Windows writer copies it from there.
QString writeFrame(const QTemporaryDir& dir, const QByteArray& bitmap)
{
    const QString frame = dir.filePath("frame.bmp");
    QFile file(frame);
    if (!file.open(QIODevice::WriteOnly) || file.write(bitmap) != bitmap.size())
        std::exit(1);
    return frame;
}

int latency(const Setup& setup, int count, const QStringList& options)
{
    const QByteArray bitmap = frameBitmap({1024, 768});
    QTemporaryDir in, out, source;
    const QString frame = writeFrame(source, bitmap);

    Folders folders(in.path(), out.path());
    Watch watch(setup, QStringList{"--watch", "--new-only"} + options, in.path(), out.path());
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        const QString name = QString("c3a2%1.bmp").arg(i, 4, 10, QChar('0'));
        writeFile(setup, frame, bitmap, in.filePath(name));
        while (folders.jpegs <= i) {
            if (!folders.read(kPatienceMs)) {
                std::fprintf(stderr, "no JPEG for %s\n", qPrintable(name));
                return 1;
            }
        }
        ms.push_back(Ms(folders.lastJpeg - folders.closed.value(name.toUtf8())).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%.1f %.1f %.1f\n", ms[ms.size() / 2], ms.front(), ms.back());
    return 0;
}

// Returns once no file in the folder has been opened for kQuietMs, or after
// kPatienceMs in all.
void waitUntilNoFileIsOpened(const QString& folder)
{
    const int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    ::inotify_add_watch(fd, QFile::encodeName(folder).constData(), IN_OPEN);
    const auto end = Clock::now() + std::chrono::milliseconds(kPatienceMs);
    auto lastOpen = Clock::now();
    pollfd p{fd, POLLIN, 0};
    while (Clock::now() < end && Clock::now() - lastOpen < std::chrono::milliseconds(kQuietMs)) {
        if (::poll(&p, 1, kQuietMs) <= 0)
            continue;
        alignas(inotify_event) char buffer[16384];
        ssize_t length;
        while ((length = ::read(fd, buffer, sizeof buffer)) > 0) {
            for (const char* at = buffer; at < buffer + length;) {
                const auto* e = reinterpret_cast<const inotify_event*>(at);
                if (e->len > 0) // a file's, not the folder's own (a listing)
                    lastOpen = Clock::now();
                at += sizeof(inotify_event) + e->len;
            }
        }
    }
    ::close(fd);
}

int idle(const Setup& setup, int seconds, int files, const QStringList& options)
{
    QTemporaryDir in, out;
    // Bitmaps already there, left alone (--new-only): what a folder of a
    // long-played game holds.
    for (int i = 0; i < files; ++i) {
        QFile file(in.filePath(QString("old_shot%1.bmp").arg(i, 5, 10, QChar('0'))));
        file.open(QIODevice::WriteOnly);
        file.write("BM");
    }
    Watch watch(setup, QStringList{"--watch", "--new-only"} + options, in.path(), out.path());
    // The first look at the folder (what --new-only leaves alone) comes
    // after the watch says it watches, and opens every file: under Wine it
    // takes half a minute. The measurement starts once no file has been
    // opened for a while.
    std::this_thread::sleep_for(std::chrono::seconds(kSettleSeconds));
    waitUntilNoFileIsOpened(in.path());
    const double before = watch.processorMs();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    std::printf("%.0f\n", watch.processorMs() - before);
    return 0;
}

int dump(const Setup& setup, int frames, const QStringList& options)
{
    // A movie's frames at the game's usual 640 x 480 (921 KB each).
    const QByteArray bitmap = frameBitmap({640, 480});
    QTemporaryDir in, out, source;
    const QString frame = writeFrame(source, bitmap);

    Folders folders(in.path(), out.path());
    Watch watch(setup, QStringList{"--watch", "--new-only", "--delete"} + options, in.path(), out.path());
    const auto start = Clock::now();
    QProcess writer;
    std::thread native;
    if (setup.wine) {
        // One Windows program writes them all, as the game does.
        writer.start("wine", {"cmd", "/c",
                              QString("for /l %i in (10000,1,%1) do @copy /y %2 %3\\movie%i.bmp >nul")
                                  .arg(10000 + frames - 1)
                                  .arg(setup.path(frame), setup.path(in.path()))});
    } else {
        native = std::thread([&] {
            for (int i = 0; i < frames; ++i)
                writeFile(setup, frame, bitmap, in.filePath(QString("movie%1.bmp").arg(10000 + i)));
        });
    }
    bool stalled = false;
    while (folders.jpegs < frames && !stalled)
        stalled = !folders.read(kPatienceMs);
    if (setup.wine)
        writer.waitForFinished(-1);
    else
        native.join();
    if (stalled) {
        std::fprintf(stderr, "%d JPEG files for %d frames\n", folders.jpegs, frames);
        return 1;
    }
    Clock::time_point written = start;
    for (const Clock::time_point closed : std::as_const(folders.closed))
        written = std::max(written, closed);
    std::printf("%.2f %.2f\n", Ms(folders.lastJpeg - start).count() / 1000, Ms(written - start).count() / 1000);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    Setup setup;
    setup.wine = args.removeAll("--wine") > 0;
    if (args.size() >= 3) {
        const QString mode = args.takeFirst();
        setup.converter = args.takeFirst();
        if (mode == "latency")
            return latency(setup, args.takeFirst().toInt(), args);
        if (mode == "idle" && args.size() >= 2)
            return idle(setup, args.at(0).toInt(), args.at(1).toInt(), args.mid(2));
        if (mode == "dump")
            return dump(setup, args.at(0).toInt(), args.mid(1));
    }
    std::fprintf(stderr, "usage: fwbench_cli_watch latency CONVERTER COUNT [--wine] [OPTION...]\n"
                         "       fwbench_cli_watch idle CONVERTER SECONDS FILES [--wine] [OPTION...]\n"
                         "       fwbench_cli_watch dump CONVERTER FRAMES [--wine] [OPTION...]\n");
    return 2;
}
