#include "engine/ConversionRun.h"
#include "TempDir.h"
#include "TestUtil.h"
#include "engine/mChrono.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using fwtest::dirEntries;

// A driver of the run with real directories and files, recording what the
// run tells it.
class FakeHost : public RunHost {
public:
    QString input, output;
    QStringList files;
    int qualityValue = 90;
    bool deleteBitmaps = false, answerYes = true;
    QList<QPair<int, int>> progress;
    QStringList info, messages, questions; // messages and questions as "icon|title|text"
    QStringList calls;                     // started, ended
    std::function<void()> onEvents;

    QString inputPath() const override { return input; }
    QString outputPath() const override { return output; }
    QStringList screenshots() const override { return files; }
    int quality() const override { return qualityValue; }
    bool deleteOriginals() const override { return deleteBitmaps; }
    void clearLog() override { info.clear(); }
    void runStarted() override { calls << "started"; }
    void showProgress(int done, int total) override { progress.append({done, total}); }
    void log(const QString& line) override { info << line; }
    void restoreWindow() override {}
    void runEnded() override { calls << "ended"; }
    void showMessage(const QString& text, MsgIcon icon, const QString& title) override
    {
        messages << QString("%1|%2|%3").arg(int(icon)).arg(title, text);
    }
    bool askYesNo(const QString& text, MsgIcon icon, const QString& title) override
    {
        questions << QString("%1|%2|%3").arg(int(icon)).arg(title, text);
        return answerYes;
    }
    void processEvents() override
    {
        if (onEvents)
            onEvents();
    }
    void pause(int ms) override { mChrono::Pause(ms); }
};

// A screenshot-sized bitmap (400 x 300 x 3 + 54 bytes, over 360000). Odd
// and even seeds are mirror images, far apart, so that a JPEG shows which
// of two it holds.
QImage addShot(const QString& path, int seed = 0)
{
    QImage img = fwtest::testPattern(400, 300).mirrored(seed % 2 == 1, false);
    img.setPixelColor(seed % 400, 150, Qt::white);
    fwtest::writeBmp(path, img);
    return img;
}

class ConversionRunTest : public ::testing::Test {
protected:
    fwtest::TempDir shots;
    fwtest::TempDir jpegs;
    FakeHost host;

    void SetUp() override
    {
        host.input = shots.dir();
        host.output = jpegs.dir();
    }

    QImage addShot(const QString& name, int seed = 0) { return ::addShot(shots.file(name), seed); }

    // A small bitmap padded with trailing bytes to an exact file size.
    void addBitmapOfSize(const QString& name, int bytes)
    {
        QByteArray data = fwtest::bmpBytes(fwtest::testPattern(40, 30));
        data.append(QByteArray(bytes - data.size(), '\0'));
        fwtest::writeAll(shots.file(name), data);
    }

    QStringList outputFiles() const { return dirEntries(jpegs.path()); }

    bool run()
    {
        host.files = ScreenshotList::list(host.input);
        return RunConversion(host);
    }
};

} // namespace

// Any entry takes a number: a file, a directory, a link to nowhere.
TEST_F(ConversionRunTest, NumbersFromTheLowestFreeAndNeverOverwrites)
{
    const QImage first = addShot("half0007.bmp", 1);
    const QImage second = addShot("half0012.bmp", 2);
    fwtest::writeAll(jpegs.file("half0000.JPG"), "taken");
    ASSERT_TRUE(QDir(jpegs.path()).mkdir("half0001.JPG"));
    ASSERT_TRUE(QFile::link(jpegs.file("nowhere"), jpegs.file("half0003.JPG")));
    host.qualityValue = 100;
    EXPECT_TRUE(run());
    EXPECT_EQ(host.info, (QStringList{"Processing:", "half0007.bmp", "half0012.bmp", "Done."}));
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(fwtest::readAll(jpegs.file("half0000.JPG")), "taken");
    EXPECT_FALSE(QFile::exists(jpegs.file("nowhere")));
    // The JPEGs hold the bitmaps' pictures, upright and in order.
    EXPECT_LT(fwtest::meanChannelDiff(fwtest::decodeJpeg(jpegs.file("half0002.JPG")), first), 3.0);
    EXPECT_LT(fwtest::meanChannelDiff(fwtest::decodeJpeg(jpegs.file("half0004.JPG")), second), 3.0);
    EXPECT_EQ(dirEntries(shots.path()).size(), 2) << "nothing deleted unless asked";
    host.qualityValue = 5;
    EXPECT_TRUE(run());
    EXPECT_LT(QFileInfo(jpegs.file("half0005.JPG")).size() * 3, QFileInfo(jpegs.file("half0002.JPG")).size())
        << "the quality asked for";
}

TEST_F(ConversionRunTest, SkipsShortNamesSmallFilesAndFullNumberRangesSilently)
{
    addShot("shot.bmp");
    addShot("a.bmp.bmp");
    addBitmapOfSize("small000.bmp", 359999);
    addBitmapOfSize("exact000.bmp", 360000);
    addShot("zfull000.bmp");
    for (int n = 0; n <= 9998; ++n)
        fwtest::writeAll(jpegs.file(ScreenshotList::candidateName("zful", n)), {});
    host.deleteBitmaps = true;
    EXPECT_TRUE(run());
    EXPECT_EQ(host.info, (QStringList{"Processing:", "a.bmp.bmp", "exact000.bmp", "Done."}));
    EXPECT_EQ(outputFiles().size(), 2 + 9999);
    EXPECT_EQ(outputFiles().mid(0, 2), (QStringList{"a0000.JPG", "exac0000.JPG"}));
    EXPECT_EQ(dirEntries(shots.path()), (QStringList{"shot.bmp", "small000.bmp", "zfull000.bmp"}));
    // Every listed entry moves the bar, skipped or not.
    EXPECT_EQ(host.progress, (QList<QPair<int, int>>{{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}}));
    EXPECT_TRUE(host.messages.isEmpty());
}

// What a run that died left comes back first: the bitmap it had set aside
// is converted in its turn, its unfinished JPEG goes.
TEST_F(ConversionRunTest, RecoversWhatADeadRunLeft)
{
    addShot(".fw-k3x9q2.del.half0007.bmp");
    fwtest::writeAll(jpegs.file(".fw-x1y2z3.tmp"), "half a JPEG");
    host.deleteBitmaps = true;
    EXPECT_TRUE(run());
    EXPECT_EQ(host.info, (QStringList{"Processing:", "half0007.bmp put back: a run had stopped while it was set aside",
                                      "half0007.bmp", "Done."}));
    EXPECT_EQ(dirEntries(shots.path()), QStringList());
    EXPECT_EQ(outputFiles(), QStringList{"half0000.JPG"});
}

// A linked bitmap is converted once, and Delete deletes the link, the name
// the run read; the picture stays in the file it points to.
TEST_F(ConversionRunTest, DeleteTakesALinkNeverItsTarget)
{
    const fwtest::TempDir elsewhere;
    const QImage picture = ::addShot(elsewhere.file("half0007.bmp"));
    ASSERT_TRUE(QFile::link(elsewhere.file("half0007.bmp"), shots.file("half0007.bmp")));
    host.deleteBitmaps = true;
    EXPECT_TRUE(run());
    EXPECT_TRUE(run());
    EXPECT_EQ(host.info, (QStringList{"Processing:", "Done."}));
    EXPECT_EQ(outputFiles(), QStringList{"half0000.JPG"});
    EXPECT_EQ(dirEntries(shots.path()), QStringList());
    EXPECT_EQ(QImage(elsewhere.file("half0007.bmp")).convertToFormat(QImage::Format_RGB888),
              picture.convertToFormat(QImage::Format_RGB888));
}

// A run that goes ahead, even with nothing to convert, ends with "Done.".
TEST_F(ConversionRunTest, MissingDirectoriesAreReportedOrCreatedAndAnEmptyInputEndsDone)
{
    const QString missing = jpegs.file("new/");
    const fwtest::TempDir empty;
    const struct {
        const char* name;
        QString input, output;
        bool answerYes;
        QString message; // none when the run goes ahead
    } cases[] = {
        {"no input", shots.file("nowhere/"), jpegs.dir(), true,
         "64|Error|" + shots.file("nowhere/") + " doesn't exist !"},
        {"output refused", shots.dir(), missing, false, "64|Error|" + missing + " doesn't exist !"},
        {"output not creatable", shots.dir(), jpegs.file("no/parent/"), true, "64|Error|Une erreur est survenue"},
        {"output created", shots.dir(), missing, true, {}},
        {"empty input", empty.dir(), jpegs.dir(), true, {}},
    };
    addShot("half0007.bmp");
    for (const auto& c : cases) {
        host.input = c.input;
        host.output = c.output;
        host.answerYes = c.answerYes;
        host.messages.clear();
        host.calls.clear();
        host.info = {"Welcome in"};
        const bool converts = c.message.isEmpty();
        EXPECT_EQ(run(), converts) << c.name;
        EXPECT_EQ(host.messages, converts ? QStringList() : QStringList{c.message}) << c.name;
        EXPECT_EQ(host.calls, (converts ? QStringList{"started", "ended"} : QStringList())) << c.name;
        EXPECT_EQ(host.info.last(), converts ? "Done." : "Welcome in") << c.name;
    }
    EXPECT_EQ(host.questions.size(), 3);
    EXPECT_EQ(host.questions.last(),
              "64||The following directory doesn't exist:\n" + missing + "\nWould you like to create it ?");
    EXPECT_TRUE(QFile::exists(missing + "half0000.JPG"));
}

// A bitmap goes only once its JPEG is written; one without a JPEG stays, as
// does one still open for writing. (One replaced while it was converted:
// the retire step's test.)
TEST_F(ConversionRunTest, NoBitmapGoesWithoutItsJpegOrWhenItIsNotTheOneRead)
{
    addShot("good0000.bmp");
    fwtest::writeAll(shots.file("junk0000.bmp"), QByteArray(400000, 'x'));
    QByteArray truncated = fwtest::bmpBytes(fwtest::testPattern(400, 400));
    truncated.truncate(380000);
    fwtest::writeAll(shots.file("half0000.bmp"), truncated);
    addShot("open0000.bmp", 1);
    QFile writer(shots.file("open0000.bmp"));
    ASSERT_TRUE(writer.open(QIODevice::Append));
    host.deleteBitmaps = true;
    host.files = ScreenshotList::list(host.input);
    host.files.insert(0, "ghost000.bmp"); // listed, then gone
    int checks = 0;
    host.onEvents = [&] {
        ++checks;
        EXPECT_GE(outputFiles().size() + dirEntries(shots.path()).size(), 4) << "a bitmap went before its JPEG";
    };
    EXPECT_TRUE(RunConversion(host));
    EXPECT_GT(checks, 3);

    EXPECT_EQ(host.info,
              (QStringList{"Processing:", "ghost000.bmp skipped: file not found", "good0000.bmp", "half0000.bmp",
                           "half0000.bmp skipped: truncated pixel data (379946 of 480000 bytes)", "junk0000.bmp",
                           "junk0000.bmp skipped: not a BMP file", "open0000.bmp",
                           "open0000.bmp skipped: still being written", "Done."}));
    EXPECT_EQ(outputFiles(), QStringList{"good0000.JPG"});
    EXPECT_EQ(dirEntries(shots.path()), (QStringList{"half0000.bmp", "junk0000.bmp", "open0000.bmp"}))
        << "kept without a JPEG";
    EXPECT_TRUE(host.messages.isEmpty());
}

// The window's run killed at each of its steps with Delete ticked (in a
// child process, at the Nth time it hands over to the window), then run
// again as the user would: each picture ends in exactly one JPEG, and no
// bitmap and no private file is left.
TEST_F(ConversionRunTest, ACrashAtAnyStepLeavesEachPictureInExactlyOneJpeg)
{
    int tried = 0;
    for (int crashAt = 1;; ++crashAt) {
        SCOPED_TRACE("killed at hand-over " + std::to_string(crashAt));
        for (const QString& dir : {shots.path(), jpegs.path()})
            for (const QString& name : dirEntries(dir))
                ASSERT_TRUE(QFile::remove(dir + '/' + name));
        const QImage pictures[] = {addShot("half0007.bmp", 0), addShot("half0012.bmp", 1)};
        host.deleteBitmaps = true;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int handOvers = 0;
            host.onEvents = [&] {
                if (++handOvers == crashAt)
                    _exit(9);
            };
            run();
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const bool crashed = WIFEXITED(status) && WEXITSTATUS(status) == 9;

        EXPECT_TRUE(run());
        EXPECT_EQ(dirEntries(shots.path()), QStringList());
        const QStringList jpegFiles = outputFiles();
        ASSERT_EQ(jpegFiles.size(), 2) << jpegFiles.join(' ').toStdString();
        int found[2] = {};
        for (const QString& name : jpegFiles) {
            const QImage decoded = fwtest::decodeJpeg(jpegs.file(name));
            for (int i = 0; i < 2; ++i)
                found[i] += fwtest::meanChannelDiff(decoded, pictures[i]) < 3.0;
        }
        EXPECT_EQ(found[0], 1);
        EXPECT_EQ(found[1], 1);
        if (!crashed)
            break;
        ++tried;
    }
    std::printf("[ crash points ] %d tried in the window's run\n", tried);
    EXPECT_GT(tried, 8);
}
