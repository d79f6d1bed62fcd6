// Whole conversions, from a click of CmdGo to "Done.", on real files.
#include "TestUtil.h"
#include "WindowHarness.h"

#include <QDir>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Numbering, deletion and the JPEGs' pictures are the run's own tests; here
// the window's part: its messages, its settings, its lines, its list and its
// controls.
TEST(Conversion, AFailedRunIsReportedAndKeepsTheBitmapsAndTheNextClickConvertsThem)
{
    WindowHarness h;
    auto w = h.started({"half0007.bmp", "half0012.bmp"});
    const WindowControls c(*w);
    c.chkDel->setChecked(true);
    {
        // Writing the JPEG fails for real, as on a full disk; the settings fit.
        const fwtest::FileSizeLimit full(4096);
        QTest::mouseClick(c.CmdGo, Qt::LeftButton);
    }
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "Conversion failed: '" + h.output + "half0000.JPG'");
    EXPECT_EQ(h.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(h.messages[0].title, "Framewright");
    EXPECT_EQ(WindowHarness::lines(c.Lstinfo), QStringList({"Processing:", "half0007.bmp"}));
    EXPECT_EQ(QDir(h.input).entryList(QDir::Files), QStringList({"half0007.bmp", "half0012.bmp"}));

    w->slider().SetQuality(85);
    // "Processing:" comes before the settings are stored and the controls
    // locked; a window minimised during the run is back before "Done.".
    bool processingFirst = false, sawDisabled = false, restoredBeforeDone = false;
    QObject::connect(c.Lstinfo->model(), &QAbstractItemModel::rowsInserted, w.get(), [&] {
        const int lines = c.Lstinfo->count();
        if (lines == 1)
            processingFirst = c.CmdGo->isEnabled() && h.setting("Quality") == "80";
        if (lines == 2) { // the first file's line
            sawDisabled = !c.CmdGo->isEnabled() && !w->controlsEnabled() && !c.FileList->isEnabled()
                          && !c.CmdExit->isEnabled() && c.LFore->isVisible() && c.CmdAbout->isEnabled();
            w->showMinimized();
        }
        if (lines == 4)
            restoredBeforeDone = !(w->windowState() & Qt::WindowMinimized);
    });
    QTest::mouseClick(c.CmdGo, Qt::LeftButton);
    EXPECT_TRUE(processingFirst && sawDisabled && restoredBeforeDone);
    EXPECT_EQ(WindowHarness::lines(c.Lstinfo), QStringList({"Processing:", "half0007.bmp", "half0012.bmp", "Done."}));
    EXPECT_EQ(c.Lstinfo->currentRow(), 3);
    EXPECT_EQ(QDir(h.output).entryList(QDir::Files), QStringList({"half0000.JPG", "half0001.JPG"}));
    EXPECT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.setting("Quality"), "85") << "the settings are stored as the run starts";
    EXPECT_TRUE(c.CmdGo->isEnabled() && w->controlsEnabled() && !c.LFore->isVisible());
    EXPECT_EQ(c.FileList->count(), 0);
    EXPECT_EQ(c.LFore->x2(), c.LBack->x2()) << "the last file fills the progress bar";
}

} // namespace
