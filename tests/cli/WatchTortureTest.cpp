// A watched folder with --delete under every kind of writer the game and the
// tools around it are: the game itself (lowest free name, written in chunks,
// the name reused once deleted), a writer that sets the size first, a save
// through a temporary file, a file renamed onto one being converted, a burst
// of events larger than the kernel's queue, and the folder going away and
// coming back. Every race is held open by a gate the test controls (a lease,
// SIGSTOP, a descriptor kept open), never by luck. At the end every version
// has a JPEG with its picture, and no bitmap is left.
#include "CliSupport.h"
#include "TempDir.h"
#include "TestUtil.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <string>
#include <unistd.h>

using namespace clitest;
using namespace fwtest;

namespace {

// A running watcher and everything it said.
class Watcher {
public:
    explicit Watcher(const QStringList& args)
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        startConvert(m_process, args);
    }
    ~Watcher()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // Waits for a condition the watcher brings about, reading what it says.
    bool waitFor(const std::function<bool()>& done) { return readUntil(m_process, m_said, done); }
    bool waitForLine(const QString& text)
    {
        return waitFor([&] { return m_said.contains(text); });
    }
    void signal(int number) { ::kill(pid_t(m_process.processId()), number); }
    // SIGSTOP takes effect when the process is next scheduled: until then it
    // may still read events.
    bool waitUntilStopped()
    {
        const std::string stat = "/proc/" + std::to_string(m_process.processId()) + "/stat";
        return waitFor([&] {
            std::ifstream file(stat);
            std::string line;
            std::getline(file, line);
            const auto end = line.rfind(')'); // the state follows the name in brackets
            return end != std::string::npos && line.substr(end + 2, 1) == "T";
        });
    }
    int stop()
    {
        signal(SIGTERM);
        m_process.waitForFinished(60000);
        m_said += m_process.readAll();
        return m_process.exitCode();
    }
    const QString& said() const { return m_said; }

private:
    QProcess m_process;
    QString m_said;
};

bool gone(const QString& path) { return !QFile::exists(path); }

// The game's way: the lowest free name, the header, then the pixels in
// chunks, each flushed, then closed.
QString writeLikeTheGame(const TempDir& in, int id)
{
    int n = 0;
    while (QFile::exists(in.file(QString("game%1.bmp").arg(n, 4, 10, QChar('0')))))
        ++n;
    const QString path = in.file(QString("game%1.bmp").arg(n, 4, 10, QChar('0')));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray bytes = bmpBytes(shot(id));
    for (qsizetype at = 0; at < bytes.size(); at += 120000) {
        file.write(bytes.mid(at, 120000));
        file.flush();
    }
    return path;
}

// Saves through a temporary file renamed onto the name, as editors do.
void saveByRename(const TempDir& in, const QString& name, int id)
{
    writeBmp(in.file(".save.tmp"), shot(id));
    ASSERT_EQ(::rename(qPrintable(in.file(".save.tmp")), qPrintable(in.file(name))), 0);
}

// Holds other processes' opens of one file: a write lease, whose break the
// test sees without a signal, by asking for the lease's state.
class OpenGate {
public:
    explicit OpenGate(const QString& path) : m_fd(::open(qPrintable(path), O_RDONLY | O_CLOEXEC))
    {
        ::signal(SIGIO, SIG_IGN); // the lease break's signal; the state is polled instead
        m_held = m_fd >= 0 && ::fcntl(m_fd, F_SETLEASE, F_WRLCK) == 0;
    }
    ~OpenGate() { release(); }
    bool held() const { return m_held; }
    // True once another process is waiting in open().
    bool knocked() const { return ::fcntl(m_fd, F_GETLEASE) != F_WRLCK; }
    void release()
    {
        if (m_fd >= 0) {
            ::fcntl(m_fd, F_SETLEASE, F_UNLCK);
            ::close(m_fd);
            m_fd = -1;
        }
    }

private:
    int m_fd;
    bool m_held = false;
};

} // namespace

TEST(WatchTorture, EveryWriterKeepsItsScreenshots)
{
    TempDir in, out, staging;
    // The kind of writer that made each version (its id). Every one is owed a
    // JPEG: no writer here replaces a version before the watcher could read it.
    QStringList kinds;
    const auto version = [&kinds](const QString& kind) { return int((kinds << kind).size()) - 1; };

    // A writer that sets the full size first, then fills the pixels: it
    // holds the file open across the watcher's first pass.
    const int early = version("size set first");
    const QByteArray earlyBytes = bmpBytes(shot(early));
    QFile preallocated(in.file("apre0000.bmp"));
    ASSERT_TRUE(preallocated.open(QIODevice::WriteOnly));
    ASSERT_TRUE(preallocated.resize(earlyBytes.size()));
    preallocated.write(earlyBytes.left(54));
    preallocated.flush();
    // Listed after it, so that its deletion says the first pass is over.
    const int sentinel = version("already there");
    writeBmp(in.file("zzzz0000.bmp"), shot(sentinel));

    Watcher watcher({"--watch", "--delete", "-j", "2", in.path(), out.path()});
    ASSERT_TRUE(watcher.waitFor([&] { return gone(in.file("zzzz0000.bmp")); })) << watcher.said().toStdString();
    EXPECT_TRUE(QFile::exists(in.file("apre0000.bmp"))) << "taken while still being written";
    preallocated.write(earlyBytes.mid(54));
    preallocated.close();
    EXPECT_TRUE(watcher.waitFor([&] { return gone(in.file("apre0000.bmp")); })) << watcher.said().toStdString();

    // The game: the lowest free name, reused as soon as it is deleted.
    for (int i = 0; i < 6; ++i) {
        const QString path = writeLikeTheGame(in, version("the game"));
        ASSERT_TRUE(watcher.waitFor([&] { return gone(path); })) << watcher.said().toStdString();
    }

    // Saved through a temporary file and a rename onto a new name.
    for (int i = 0; i < 3; ++i)
        saveByRename(in, QString("edit%1.bmp").arg(i, 4, 10, QChar('0')), version("temporary file and rename"));

    // Renamed onto a bitmap the watcher is converting: it opened the first
    // version and is held there until the second has taken the name.
    const int first = version("renamed onto one in work");
    const int second = version("renamed onto one in work");
    writeBmp(staging.file("swap0000.bmp"), shot(first));
    {
        OpenGate gate(staging.file("swap0000.bmp"));
        ASSERT_TRUE(gate.held());
        ASSERT_EQ(::rename(qPrintable(staging.file("swap0000.bmp")), qPrintable(in.file("swap0000.bmp"))), 0);
        ASSERT_TRUE(watcher.waitFor([&] { return gate.knocked(); })) << watcher.said().toStdString();
        saveByRename(in, "swap0000.bmp", second);
    }

    // More events than the kernel queues while the watcher is stopped, then
    // screenshots whose events are lost with the rest.
    watcher.signal(SIGSTOP);
    ASSERT_TRUE(watcher.waitUntilStopped());
    const int queueLength = readAll("/proc/sys/fs/inotify/max_queued_events").trimmed().toInt();
    for (int i = 0; i <= queueLength; ++i)
        writeAll(in.file(QString("noise%1.txt").arg(i)), {});
    for (int i = 0; i < 3; ++i)
        writeBmp(in.file(QString("burst%1.bmp").arg(i, 4, 10, QChar('0'))), shot(version("after a queue overflow")));
    watcher.signal(SIGCONT);

    EXPECT_TRUE(watcher.waitFor([&] { return entries(in.path(), "*.bmp").isEmpty(); }))
        << watcher.said().toStdString() << entries(in.path(), "*.bmp").join(' ').toStdString();
    EXPECT_TRUE(watcher.said().contains("Too many changes at once")) << watcher.said().toStdString();
    EXPECT_EQ(watcher.stop(), 143);

    const std::multiset<int> jpegIds = idsOfJpegs(out.path());
    for (int id = 0; id < kinds.size(); ++id)
        EXPECT_GE(jpegIds.count(id), 1u) << kinds[id].toStdString() << ": version " << id << " lost";
    EXPECT_EQ(jpegIds.count(-1), 0u) << "a JPEG shows what no writer wrote";
    EXPECT_EQ(entries(in.path(), ".*").filter(".fw-").size() + entries(out.path(), ".*").size(), 0)
        << "temporary file left";
}

// --new-only leaves what was there alone, also once its directory went away
// and came back (a rename, a remount).
TEST(WatchTorture, NewOnlyRemembersThroughADirectoryThatComesBack)
{
    TempDir root, out;
    const QString in = root.file("in"), away = root.file("away");
    QDir().mkpath(in);
    writeBmp(in + "/old00000.bmp", shot(1));
    const QByteArray old = readAll(in + "/old00000.bmp");

    Watcher watcher({"--watch", "--new-only", "--delete", in, out.path()});
    ASSERT_TRUE(watcher.waitForLine("Watching"));
    ASSERT_EQ(::rename(qPrintable(in), qPrintable(away)), 0);
    ASSERT_TRUE(watcher.waitForLine("is gone")) << watcher.said().toStdString();
    ASSERT_EQ(::rename(qPrintable(away), qPrintable(in)), 0);
    ASSERT_TRUE(watcher.waitForLine("is back")) << watcher.said().toStdString();
    writeBmp(in + "/new00000.bmp", shot(2));
    EXPECT_TRUE(watcher.waitFor([&] { return gone(in + "/new00000.bmp"); })) << watcher.said().toStdString();
    EXPECT_EQ(watcher.stop(), 143);

    EXPECT_EQ(readAll(in + "/old00000.bmp"), old);
    EXPECT_EQ(idsOfJpegs(out.path()), std::multiset<int>{2});
}

// With no folder named, the watch follows the game whose folder the window
// saved: every mod folder of it, one installed later too, and says which
// folders it watches. A bitmap that a converter had set aside when it died
// is put back and converted.
TEST(WatchTorture, WithNoFolderNamedFollowsTheWindowsGameWithItsSavedChoices)
{
    TempDir game, out;
    for (const char* folder : {"valve", "cstrike"})
        ASSERT_TRUE(QDir(game.path()).mkpath(folder));
    writeAll(game.file("valve/liblist.gam"), "game \"Half-Life\"");
    writeBmp(game.file("valve/.fw-k3x9q2.del.c1a00009.bmp"), shot(4));
    // The window saved valve: the game's own folder, where it finds it first.
    Settings saved{game.file("valve/"), out.path() + '/', 90, true};
    ASSERT_TRUE(saved.save(Settings::defaultFile()));

    Watcher watcher({"--watch"});
    ASSERT_TRUE(watcher.waitForLine("Stop with")) << watcher.said().toStdString();
    EXPECT_TRUE(watcher.said().contains("Watching " + game.file("valve"))) << watcher.said().toStdString();
    // cstrike becomes a mod folder after the watch started.
    writeAll(game.file("cstrike/liblist.gam"), "game \"Counter-Strike\"");
    ASSERT_TRUE(watcher.waitForLine("Watching " + game.file("cstrike"))) << watcher.said().toStdString();
    writeBmp(game.file("valve/c1a00000.bmp"), shot(1));
    writeBmp(game.file("cstrike/de_dust0000.bmp"), shot(2));
    EXPECT_TRUE(watcher.waitFor([&] {
        return idsOfJpegs(out.path()) == std::multiset<int>{1, 2, 4} && gone(game.file("valve/c1a00000.bmp"))
               && gone(game.file("cstrike/de_dust0000.bmp"));
    })) << watcher.said().toStdString();
    EXPECT_EQ(watcher.stop(), 143);
}

TEST(WatchTorture, ASecondWatchOfAFolderSaysSoAndEnds)
{
    TempDir in, out, otherOut;
    Watcher first({"--watch", in.path(), out.path()});
    ASSERT_TRUE(first.waitForLine("Stop with"));
    // The same folder by another name is the same folder.
    const Result second = convert({"--watch", in.path() + "/.", otherOut.path()});
    EXPECT_EQ(second.code, 0);
    EXPECT_TRUE(second.errors.contains("another watch converts")) << second.errors.toStdString();

    writeBmp(in.file("c1a00000.bmp"), shot(1));
    EXPECT_TRUE(first.waitFor([&] { return entries(out.path(), "*.JPG").size() == 1; }));
    EXPECT_TRUE(entries(otherOut.path()).isEmpty());
    EXPECT_EQ(first.stop(), 143);
}
