// Whole conversions, from a click of CmdGo to "Done.", on real files.
#include "WindowHarness.h"
#include "window/FrmMainRunHost.h"

#include <QDir>
#include <QListWidget>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

QStringList jpegs(const QString& dir)
{
    return QDir(dir).entryList({"*.JPG"}, QDir::Files, QDir::Name);
}

class Conversion : public ::testing::Test {
protected:
    std::unique_ptr<FrmMain> startWith(const QStringList& shots, const QString& del = "0")
    {
        for (const QString& name : shots)
            h.writeScreenshot(h.input + name);
        h.writeSettings(h.input, h.output, "80", del);
        return h.started();
    }
    WindowHarness h;
};

// Numbering, deletion and the JPEGs' pictures are the run's own tests; here
// the window's part: its settings, its lines, its list and its controls.
TEST_F(Conversion, ClickToDoneStoresTheSettingsShowsTheLinesAndEmptiesTheList)
{
    auto w = startWith({"half0007.bmp", "half0012.bmp"}, "1");
    w->SetQuality(85);
    QTest::mouseClick(w->CmdGo, Qt::LeftButton);

    EXPECT_EQ(WindowHarness::lines(w->Lstinfo), QStringList({"Processing:", "half0007.bmp", "half0012.bmp", "Done."}));
    EXPECT_EQ(w->Lstinfo->currentRow(), 3);
    EXPECT_EQ(jpegs(h.output), QStringList({"half0000.JPG", "half0001.JPG"}));
    EXPECT_TRUE(h.messages.empty());
    EXPECT_EQ(h.setting("Quality"), "85") << "the settings are stored as the run starts";
    EXPECT_TRUE(w->CmdGo->isEnabled() && w->ControlsEnabled && !w->LFore->isVisible());
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(w->LFore->x2(), w->LBack->x2()) << "the last file fills the progress bar";
}

TEST_F(Conversion, FailedJpegIsReportedAndTheRunStopsWithTheBitmapKept)
{
    auto w = startWith({"half0007.bmp", "half0012.bmp"}, "1");
    // A file-size limit that the settings fit in and the JPEG does not:
    // writing fails for real, as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit normal{};
    getrlimit(RLIMIT_FSIZE, &normal);
    rlimit full = normal;
    full.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &full);
    QTest::mouseClick(w->CmdGo, Qt::LeftButton);
    setrlimit(RLIMIT_FSIZE, &normal);
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "Conversion failed: '" + h.output + "half0000.JPG'");
    EXPECT_EQ(h.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(h.messages[0].title, "Framewright");
    EXPECT_EQ(WindowHarness::lines(w->Lstinfo), QStringList({"Processing:", "half0007.bmp"}));
    EXPECT_TRUE(QFileInfo::exists(h.input + "half0007.bmp"));
    EXPECT_TRUE(QFileInfo::exists(h.input + "half0012.bmp"));
    EXPECT_TRUE(w->CmdGo->isEnabled());
}

TEST_F(Conversion, ControlsAreDisabledWhileTheRunWorks)
{
    auto w = startWith({"c1a00000.bmp", "c1a00001.bmp"});
    bool sawDisabled = false;
    QObject::connect(w->Lstinfo->model(), &QAbstractItemModel::rowsInserted, w.get(), [&] {
        if (w->Lstinfo->count() == 2) // the first file's line
            sawDisabled = !w->CmdGo->isEnabled() && !w->ControlsEnabled && !w->FileList->isEnabled()
                          && !w->CmdExit->isEnabled() && w->LFore->isVisible() && w->CmdAbout->isEnabled();
    });
    QTest::mouseClick(w->CmdGo, Qt::LeftButton);
    EXPECT_TRUE(sawDisabled);
}

} // namespace

// LFore grows from its own left end by its share of LBack's length; lines
// with different left ends tell the right X1 from the wrong one.
TEST(ProgressLines, ForeGrowsFromItsOwnStartByItsShareOfTheTrack)
{
    QWidget parent;
    LineControl fore(&parent, Qt::red, 1, 1000, 1000, 0);
    const LineControl back(&parent, Qt::black, 1, 1710, 7770, 0);
    const struct {
        int done, total;
        float x2;
    } rows[] = {{0, 1, 1000}, {1, 3, 4030}, {2, 3, 7060}, {0, 3, 1000}};
    for (const auto& r : rows) {
        drawProgress(fore, back, r.done, r.total);
        EXPECT_FLOAT_EQ(fore.x2(), r.x2) << r.done << "/" << r.total;
    }
}
