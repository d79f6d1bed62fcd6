#include "EngineTestUtil.h"
#include "TempDir.h"
#include "engine/ConversionRun.h"
#include "engine/mChrono.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A window stand-in: real directories and files, recorded UI effects.
class FakeWindow : public RunHost {
public:
    QString input;
    QString output;
    QStringList files;
    QString caption = "90 %";
    bool deleteOriginals = false;
    bool answerYes = true;
    float foreX2 = -1;
    std::vector<float> progress;
    QStringList info;
    QStringList messages; // "icon|title|text"
    QStringList questions;
    QStringList calls;    // enable, disable, save, restore
    std::function<void()> onEvents;

    QString inputPath() const override { return input; }
    QString outputPath() const override { return output; }
    int fileCount() const override { return static_cast<int>(files.size()); }
    QString fileName(int index) const override { return files.at(index); }
    QString qualityCaption() const override { return caption; }
    bool deleteChecked() const override { return deleteOriginals; }
    float foreX1() const override { return 1710; }
    float backX1() const override { return 1710; }
    float backX2() const override { return 7770; }
    void setForeX2(float x2) override { progress.push_back(x2); }
    void clearInfo() override { info.clear(); }
    void addInfo(const QString& line) override { info << line; }
    void selectLastInfo() override {}
    void enableControls() override
    {
        calls << "enable";
        rereadFiles();
    }
    void disableControls() override { calls << "disable"; }
    void saveSettings() override { calls << "save"; }
    void restoreWindow() override { calls << "restore"; }
    void processEvents() override
    {
        if (onEvents)
            onEvents();
    }
    void showMessage(const QString& text, MsgIcon icon, const QString& title) override
    {
        messages << QString("%1|%2|%3").arg(int(icon)).arg(title, text);
    }
    bool askYesNo(const QString& text, MsgIcon icon, const QString& title) override
    {
        questions << QString("%1|%2|%3").arg(int(icon)).arg(title, text);
        return answerYes;
    }
    bool createDirectory(const QString& path) override { return QDir().mkdir(path); }
    void pause(int ms) override { mChrono::Pause(ms); }

    void rereadFiles()
    {
        files = QDir(input).entryList({"*.bmp"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    }
};

class ConversionRunTest : public ::testing::Test {
protected:
    fwtest::TempDir shots;
    fwtest::TempDir jpegs;
    FakeWindow window;

    void SetUp() override
    {
        window.input = shots.dir();
        window.output = jpegs.dir();
    }

    // A screenshot-sized bitmap (400 x 300 x 3 + 54 bytes, over 360000).
    QImage addShot(const QString& name, int seed = 0)
    {
        QImage img = fwtest::testPattern(400, 300);
        img.setPixelColor(seed % 400, 150, Qt::white);
        fwtest::writeBmp(shots.file(name), img);
        return img;
    }

    // A small bitmap padded with trailing bytes to an exact file size.
    void addBitmapOfSize(const QString& name, int bytes)
    {
        QByteArray data = fwtest::bmpBytes(fwtest::testPattern(40, 30));
        data.append(QByteArray(bytes - data.size(), '\0'));
        fwtest::writeAll(shots.file(name), data);
    }

    QStringList outputFiles() const { return QDir(jpegs.path()).entryList(QDir::Files, QDir::Name); }

    bool run()
    {
        window.rereadFiles();
        return RunConversion(window);
    }
};

} // namespace

TEST(NamePrefix, DropsTheLastEightCharacters)
{
    EXPECT_EQ(GetNamePrefix("half0007.bmp"), "half");
    EXPECT_EQ(GetNamePrefix("a.bmp.bmp"), "a");
    EXPECT_EQ(GetNamePrefix("shot.bmp"), "");
    EXPECT_EQ(GetNamePrefix(""), "");
}

TEST(NumberAtStart, LeadingNumberRoundedHalfToEven)
{
    EXPECT_EQ(NumberAtStart("05 %"), 5);
    EXPECT_EQ(NumberAtStart("100 %"), 100);
    EXPECT_EQ(NumberAtStart("00 %"), 0);
    EXPECT_EQ(NumberAtStart("90"), 90);
    EXPECT_EQ(NumberAtStart("%"), 0);
    EXPECT_EQ(NumberAtStart(""), 0);
    EXPECT_EQ(NumberAtStart("2.5 %"), 2);
    EXPECT_EQ(NumberAtStart("3.5 %"), 4);
    EXPECT_EQ(NumberAtStart("99999999999 %"), 2147483647);
    EXPECT_EQ(NumberAtStart(" 7"), 7);
    EXPECT_EQ(NumberAtStart("-3"), -3);
    EXPECT_EQ(NumberAtStart(".5"), 0);
    EXPECT_EQ(NumberAtStart("1.5.3"), 2);
}

TEST_F(ConversionRunTest, EmptyInputDirectoryStillReportsDone)
{
    EXPECT_TRUE(run());
    EXPECT_EQ(window.info, (QStringList{"Processing:", "Done."}));
    EXPECT_EQ(window.calls, (QStringList{"save", "disable", "restore", "enable"}));
    EXPECT_TRUE(window.messages.isEmpty());
}

TEST_F(ConversionRunTest, NumbersFromTheLowestFreeAndNeverOverwrites)
{
    const QImage first = addShot("half0007.bmp", 1);
    const QImage second = addShot("half0012.bmp", 2);
    EXPECT_TRUE(run());
    EXPECT_EQ(outputFiles(), (QStringList{"half0000.JPG", "half0001.JPG"}));
    EXPECT_EQ(window.info, (QStringList{"Processing:", "half0007.bmp", "half0012.bmp", "Done."}));

    // The JPEGs hold the bitmaps' pictures, upright and in order.
    EXPECT_LT(fwtest::meanChannelDiff(fwtest::decodeJpeg(jpegs.file("half0000.JPG")), first), 3.0);
    EXPECT_LT(fwtest::meanChannelDiff(fwtest::decodeJpeg(jpegs.file("half0001.JPG")), second), 3.0);
    const QByteArray before = fwtest::readAll(jpegs.file("half0000.JPG"));

    EXPECT_TRUE(run());
    EXPECT_EQ(outputFiles(), (QStringList{"half0000.JPG", "half0001.JPG", "half0002.JPG", "half0003.JPG"}));
    EXPECT_EQ(fwtest::readAll(jpegs.file("half0000.JPG")), before);
    EXPECT_EQ(QDir(shots.path()).entryList(QDir::Files).size(), 2) << "nothing deleted unless asked";
}

TEST_F(ConversionRunTest, GapsInTheNumbersAreFilledFirst)
{
    addShot("c1a00000.bmp");
    fwtest::writeAll(jpegs.file("c1a00000.JPG"), "taken"); // prefix "c1a0"
    fwtest::writeAll(jpegs.file("c1a00002.JPG"), "taken");
    EXPECT_TRUE(run());
    EXPECT_TRUE(QFile::exists(jpegs.file("c1a00001.JPG")));
    EXPECT_EQ(fwtest::readAll(jpegs.file("c1a00000.JPG")), "taken");
}

TEST_F(ConversionRunTest, SkipsShortNamesAndSmallFilesSilently)
{
    addShot("shot.bmp");
    addShot("a.bmp.bmp");
    addBitmapOfSize("small000.bmp", 359999);
    addBitmapOfSize("exact000.bmp", 360000);
    EXPECT_TRUE(run());
    EXPECT_EQ(outputFiles(), (QStringList{"a0000.JPG", "exac0000.JPG"}));
    EXPECT_EQ(window.info, (QStringList{"Processing:", "a.bmp.bmp", "exact000.bmp", "Done."}));
    EXPECT_TRUE(window.messages.isEmpty());
}

TEST_F(ConversionRunTest, ProgressBarRunsFromStartToEndOfTheTrack)
{
    addShot("one00000.bmp");
    EXPECT_TRUE(run());
    EXPECT_TRUE(window.progress.empty()) << "a single file does not move the bar";

    addShot("two00000.bmp");
    addShot("xyz.bmp"); // skipped entries move the bar too
    window.progress.clear();
    EXPECT_TRUE(run());
    ASSERT_EQ(window.progress.size(), 3u);
    EXPECT_FLOAT_EQ(window.progress[0], 1710);
    EXPECT_FLOAT_EQ(window.progress[1], 1710 + (7770 - 1710) / 2.0f);
    EXPECT_FLOAT_EQ(window.progress[2], 7770);
}

TEST_F(ConversionRunTest, DeletesEachBitmapOnceItsJpegIsWritten)
{
    addShot("half0007.bmp");
    addShot("half0012.bmp");
    window.deleteOriginals = true;
    QStringList seenWhenListing;
    window.onEvents = [&] {
        // While a file is being listed its bitmap is still there.
        seenWhenListing = QDir(shots.path()).entryList(QDir::Files);
    };
    EXPECT_TRUE(run());
    EXPECT_TRUE(QDir(shots.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(outputFiles(), (QStringList{"half0000.JPG", "half0001.JPG"}));
    EXPECT_TRUE(window.files.isEmpty()) << "the refreshed list no longer shows them";
}

TEST_F(ConversionRunTest, QualityComesFromTheCaption)
{
    addShot("q0000000.bmp");
    window.caption = "05 %";
    EXPECT_TRUE(run());
    window.caption = "100 %";
    EXPECT_TRUE(run());
    EXPECT_LT(QFileInfo(jpegs.file("q0000000.JPG")).size() * 3, QFileInfo(jpegs.file("q0000001.JPG")).size());
}

TEST_F(ConversionRunTest, MissingInputDirectoryStopsBeforeAnything)
{
    window.input = shots.file("nowhere/");
    window.info = {"Welcome in"};
    EXPECT_FALSE(RunConversion(window));
    EXPECT_EQ(window.messages, (QStringList{"64|Error|" + window.input + " doesn't exist !"}));
    EXPECT_TRUE(window.questions.isEmpty());
    EXPECT_EQ(window.info, (QStringList{"Welcome in"}));
    EXPECT_TRUE(window.calls.isEmpty());
}

TEST_F(ConversionRunTest, MissingOutputDirectoryIsCreatedOnYes)
{
    addShot("half0007.bmp");
    window.output = jpegs.file("new/");
    EXPECT_TRUE(run());
    ASSERT_EQ(window.questions.size(), 1);
    EXPECT_EQ(window.questions[0], "64||The following directory doesn't exist:\n" + window.output
                                       + "\nWould you like to create it ?");
    EXPECT_TRUE(QFile::exists(window.output + "half0000.JPG"));
    EXPECT_TRUE(window.messages.isEmpty());
}

TEST_F(ConversionRunTest, MissingOutputDirectoryRefusedOrNotCreatable)
{
    window.output = jpegs.file("new/");
    window.answerYes = false;
    EXPECT_FALSE(run());
    EXPECT_EQ(window.messages, (QStringList{"64|Error|" + window.output + " doesn't exist !"}));
    EXPECT_FALSE(QFile::exists(window.output));

    window.messages.clear();
    window.answerYes = true;
    window.output = jpegs.file("no/parent/");
    EXPECT_FALSE(run());
    EXPECT_EQ(window.messages, (QStringList{"64|Error|Une erreur est survenue"}));
    EXPECT_TRUE(window.calls.isEmpty());
}

TEST_F(ConversionRunTest, FailedConversionStopsTheRunKeepsTheBitmapAndRevivesTheWindow)
{
    addShot("aaa00000.bmp");
    addShot("bbb00000.bmp");
    window.deleteOriginals = true;
    window.onEvents = [&] {
        // The output directory disappears while the first file is listed.
        if (window.info.contains("aaa00000.bmp"))
            QDir(jpegs.path()).removeRecursively();
    };
    EXPECT_FALSE(run());
    EXPECT_EQ(window.messages,
              (QStringList{"48||Conversion failed: '" + jpegs.file("aaa00000.JPG") + "'"}));
    EXPECT_EQ(window.info, (QStringList{"Processing:", "aaa00000.bmp"}));
    EXPECT_TRUE(QFile::exists(shots.file("aaa00000.bmp")));
    EXPECT_TRUE(QFile::exists(shots.file("bbb00000.bmp")));
    EXPECT_EQ(window.calls, (QStringList{"save", "disable", "enable"}));
}

TEST_F(ConversionRunTest, VanishedAndUndecodableBitmapsAreSkippedWithAReason)
{
    addShot("good0000.bmp");
    fwtest::writeAll(shots.file("junk0000.bmp"), QByteArray(400000, 'x'));
    QByteArray truncated = fwtest::bmpBytes(fwtest::testPattern(400, 400));
    truncated.truncate(380000);
    fwtest::writeAll(shots.file("half0000.bmp"), truncated);
    window.deleteOriginals = true;
    window.rereadFiles();
    window.files.insert(0, "ghost000.bmp"); // listed, then gone
    EXPECT_TRUE(RunConversion(window));

    ASSERT_EQ(window.info.size(), 8) << window.info.join(" / ").toStdString();
    EXPECT_EQ(window.info[1], "ghost000.bmp skipped: file not found");
    EXPECT_EQ(window.info[2], "good0000.bmp");
    EXPECT_EQ(window.info[3], "half0000.bmp");
    EXPECT_TRUE(window.info[4].startsWith("half0000.bmp skipped: truncated")) << window.info[4].toStdString();
    EXPECT_EQ(window.info[5], "junk0000.bmp");
    EXPECT_EQ(window.info[6], "junk0000.bmp skipped: not a BMP file");
    EXPECT_EQ(window.info[7], "Done.");
    EXPECT_EQ(outputFiles(), (QStringList{"good0000.JPG"}));
    EXPECT_TRUE(QFile::exists(shots.file("junk0000.bmp"))) << "a bitmap without a JPEG is kept";
    EXPECT_TRUE(QFile::exists(shots.file("half0000.bmp")));
    EXPECT_FALSE(QFile::exists(shots.file("good0000.bmp")));
    EXPECT_TRUE(window.messages.isEmpty());
}
