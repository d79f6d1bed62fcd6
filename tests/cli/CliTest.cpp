// framewright-convert run as a process on real files: the names, the pixels,
// the lines and the exit codes, and that nothing is lost when writing fails,
// two converters race or a signal stops one.
#include "EngineTestUtil.h"
#include "TempDir.h"

#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <signal.h>
#include <sys/resource.h>

using namespace fwtest;

namespace {

struct Result {
    int code = -1;
    QStringList lines; // stdout
    QString errors;    // stderr
};

void startConvert(QProcess& p, const QStringList& args)
{
    p.start(QStringLiteral(FW_CONVERT), args);
    ASSERT_TRUE(p.waitForStarted());
}

Result finish(QProcess& p)
{
    EXPECT_TRUE(p.waitForFinished(120000));
    const bool merged = p.processChannelMode() == QProcess::MergedChannels; // then stderr is in stdout
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
            merged ? QString() : QString(p.readAllStandardError())};
}

Result convert(const QStringList& args, const std::function<void()>& inChild = {})
{
    QProcess p;
    if (inChild)
        p.setChildProcessModifier(inChild);
    startConvert(p, args);
    return finish(p);
}

// A screenshot of 400 x 300 (just over the 360000-byte threshold) whose
// centre's red channel tells which one it was: 20 + 7 x id (see idsOfJpegs).
QImage shot(int id)
{
    QImage image = testPattern(400, 300);
    QPainter(&image).fillRect(168, 118, 64, 64, QColor(20 + 7 * id, 200, 90));
    return image;
}

void writeShots(const TempDir& dir, const QString& pattern, int count, int firstId = 0)
{
    for (int i = 0; i < count; ++i)
        writeBmp(dir.file(pattern.arg(i, 4, 10, QChar('0'))), shot(firstId + i));
}

QStringList entries(const QString& dir, const QString& pattern = "*")
{
    return QDir(dir).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
}

// The id of every JPEG of a directory; -1 for one that does not decode.
std::multiset<int> idsOfJpegs(const QString& dir)
{
    std::multiset<int> ids;
    for (const QString& name : entries(dir, "*.JPG")) {
        const QImage image = decodeJpeg(dir + '/' + name);
        ids.insert(image.isNull() ? -1 : qRound((image.pixelColor(200, 150).red() - 20) / 7.0));
    }
    return ids;
}

} // namespace

TEST(Cli, ConvertsInListOrderAndSkipsWithReasons)
{
    TempDir in, out;
    writeBmp(in.file("c1a00003.bmp"), shot(0));
    writeBmp(in.file("C1A00007.BMP"), shot(1));
    writeBmp(in.file("shot.bmp"), shot(2));
    writeAll(in.file("tiny0001.bmp"), bmpBytes(testPattern(40, 30)));
    writeAll(in.file("junk0001.bmp"), QByteArray(360000, 'x')); // the decoder's reasons pass through
    writeAll(out.file("c1a00000.JPG"), "someone else's");

    const Result r = convert({"-q", "90", "-j", "3", in.path(), out.path()});
    EXPECT_EQ(r.code, 0) << r.errors.toStdString();
    const QStringList expected = {
        R"(c1a00003\.bmp -> c1a00001\.JPG \(\d+ KiB\))",
        R"(C1A00007\.BMP -> C1A00000\.JPG \(\d+ KiB\))",
        R"(junk0001\.bmp skipped: not a BMP file.*)",
        R"(shot\.bmp skipped: name of 8 characters or fewer)",
        R"(tiny0001\.bmp skipped: smaller than 360000 bytes)",
        R"(2 converted, 3 skipped, 0 failed in [\d.]+ s \([\d.]+ MP/s\))",
    };
    const QString output = r.lines.join('\n');
    EXPECT_TRUE(QRegularExpression("^" + expected.join('\n') + "$").match(output).hasMatch()) << output.toStdString();

    EXPECT_EQ(readAll(out.file("c1a00000.JPG")), "someone else's");
    for (const auto& [jpeg, id] : {std::pair{"c1a00001.JPG", 0}, std::pair{"C1A00000.JPG", 1}}) {
        const QImage decoded = decodeJpeg(out.file(jpeg));
        EXPECT_LE(maxChannelDiff(decoded, shot(id)), 40) << jpeg;
        EXPECT_LT(meanChannelDiff(decoded, shot(id)), 2.0) << jpeg;
    }
    EXPECT_EQ(entries(in.path()).size(), 5);
}

TEST(Cli, ParallelRunWritesWhatOneJobWrites)
{
    TempDir in, one, many;
    writeShots(in, "c1a0%1.bmp", 7);
    writeShots(in, "c2a1%1.bmp", 5, 7);
    writeAll(in.file("c1a00003.bmp"), bmpBytes(shot(3)).left(360010)); // takes no number
    for (const TempDir* out : {&one, &many})
        writeAll(out->file("c1a00001.JPG"), "taken");

    const Result single = convert({"-j", "1", in.path(), one.path()});
    const Result parallel = convert({"-j", "4", in.path(), many.path()});
    ASSERT_EQ(single.code, 0);
    ASSERT_EQ(parallel.code, 0);
    EXPECT_EQ(single.lines.mid(0, 12), parallel.lines.mid(0, 12));
    ASSERT_EQ(entries(one.path()), entries(many.path()));
    for (const QString& name : entries(one.path()))
        EXPECT_EQ(readAll(one.file(name)), readAll(many.file(name))) << name.toStdString();
}

TEST(Cli, TwoConvertersDeletingFromOneFolderLoseNothing)
{
    TempDir in, out;
    writeShots(in, "c1a0%1.bmp", 12);
    QProcess first, second;
    startConvert(first, {"-d", "-j", "2", in.path(), out.path()});
    startConvert(second, {"-d", "-j", "2", in.path(), out.path()});
    const Result a = finish(first), b = finish(second);
    EXPECT_EQ(a.code, 0) << a.lines.join('\n').toStdString();
    EXPECT_EQ(b.code, 0) << b.lines.join('\n').toStdString();

    // Every bitmap is gone, each has at least one JPEG of its own, and no JPEG
    // replaced another: one file per line that reported one.
    EXPECT_TRUE(entries(in.path()).isEmpty());
    const std::multiset<int> ids = idsOfJpegs(out.path());
    for (int id = 0; id < 12; ++id)
        EXPECT_GE(ids.count(id), 1u) << id;
    const auto written = (a.lines + b.lines).filter(" -> ").size();
    EXPECT_EQ(qsizetype(ids.size()), written);
    EXPECT_EQ(entries(out.path(), ".*").size(), 0);
}

TEST(Cli, DryRunTouchesNothing)
{
    TempDir in, root;
    writeShots(in, "c1a0%1.bmp", 2);
    const Result r = convert({"-n", "-d", in.path(), root.file("out")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.lines.mid(0, 2), QStringList({"c1a00000.bmp -> c1a00000.JPG", "c1a00001.bmp -> c1a00001.JPG"}));
    EXPECT_EQ(entries(in.path()).size(), 2);
    EXPECT_FALSE(QDir(root.file("out")).exists());
}

TEST(Cli, BadOptionsAreUsageErrors)
{
    TempDir in, root;
    const QStringList rows[] = {{"-q", "101"}, {"-q", "high"}, {"-j", "0"}, {"--bogus"},
                                {in.path(), root.file("out"), "third"}, {"--new-only"}, {"-n", "-w"}};
    for (const QStringList& args : rows) {
        const Result r = convert(QStringList(args) << in.path() << root.file("out"));
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.errors.startsWith("framewright-convert: ")) << r.errors.toStdString();
    }
    EXPECT_FALSE(QDir(root.file("out")).exists());
}

// On a full disk (here a file-size limit) every write fails: nothing may be
// lost, and no temporary file may be left.
TEST(Cli, FullDiskLosesNothing)
{
    TempDir in, out;
    writeShots(in, "c1a0%1.bmp", 3);
    const Result r = convert({"-d", in.path(), out.path()}, [] {
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(r.code, 1) << r.errors.toStdString();
    EXPECT_EQ(r.lines.filter(" failed: ").size(), 3) << r.lines.join('\n').toStdString();
    EXPECT_EQ(entries(in.path()).size(), 3);
    EXPECT_EQ(readAll(in.file("c1a00001.bmp")), bmpBytes(shot(1)));
    EXPECT_TRUE(entries(out.path()).isEmpty());
}

TEST(Cli, SignalStopsCleanly)
{
    for (const auto& [signal, code] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        TempDir in, out;
        writeShots(in, "c1a0%1.bmp", 40);
        QProcess p;
        startConvert(p, {"-d", "-j", "2", in.path(), out.path()});
        ASSERT_TRUE(p.waitForReadyRead(60000));
        ::kill(pid_t(p.processId()), signal);
        const Result r = finish(p);
        EXPECT_EQ(r.code, code);
        EXPECT_LT(r.lines.filter(" -> ").size(), 40) << "the signal came too late to test anything";
        EXPECT_TRUE(entries(out.path(), ".*").isEmpty()) << "temporary file left";
        // Each bitmap that is gone has its JPEG.
        const std::multiset<int> ids = idsOfJpegs(out.path());
        for (int id = 0; id < 40; ++id) {
            const bool deleted = !QFile::exists(in.file(QString("c1a0%1.bmp").arg(id, 4, 10, QChar('0'))));
            EXPECT_TRUE(!deleted || ids.count(id) == 1) << id;
        }
    }
}

TEST(Cli, WatchConvertsFinishedFilesAndSurvivesItsDirectory)
{
    TempDir in, out;
    writeBmp(in.file("c1a00000.bmp"), shot(0)); // already there: left alone
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    startConvert(p, {"--watch", "--new-only", in.path(), out.path()});
    QString said;
    const auto waitFor = [&](const std::function<bool()>& done) {
        for (int i = 0; i < 600 && !done(); ++i) {
            p.waitForReadyRead(50);
            said += p.readAll();
        }
        return done();
    };
    const auto saying = [&](const char* text) { return [&said, text] { return said.contains(text); }; };
    const auto jpegs = [&](int n) { return [&out, n] { return entries(out.path(), "*.JPG").size() == n; }; };
    ASSERT_TRUE(waitFor(saying("Watching")));

    // A screenshot the game is still writing waits until it is closed.
    QFile halfWritten(in.file("c1a00001.bmp"));
    ASSERT_TRUE(halfWritten.open(QIODevice::WriteOnly));
    const QByteArray bytes = bmpBytes(shot(1));
    halfWritten.write(bytes.left(200000));
    halfWritten.flush();
    writeBmp(in.file("c1a00002.bmp"), shot(2));
    ASSERT_TRUE(waitFor(jpegs(1))) << said.toStdString();
    EXPECT_FALSE(said.contains("c1a00001.bmp")) << said.toStdString();
    halfWritten.write(bytes.mid(200000));
    halfWritten.close();
    ASSERT_TRUE(waitFor(jpegs(2))) << said.toStdString();
    EXPECT_EQ(idsOfJpegs(out.path()), (std::multiset<int>{1, 2}));

    // The input directory vanishes and comes back.
    ASSERT_TRUE(QDir(in.path()).removeRecursively());
    ASSERT_TRUE(waitFor(saying("is gone"))) << said.toStdString();
    QDir().mkpath(in.path());
    ASSERT_TRUE(waitFor(saying("is back"))) << said.toStdString();
    writeBmp(in.file("c1a00003.bmp"), shot(3));
    ASSERT_TRUE(waitFor(jpegs(3))) << said.toStdString();

    ::kill(pid_t(p.processId()), SIGTERM);
    EXPECT_EQ(finish(p).code, 143);
}
