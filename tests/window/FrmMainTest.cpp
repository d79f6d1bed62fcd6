// FrmMain offscreen: start-up, the slider, the folders, the file list and
// the launches, through its real controls.
#include "WindowHarness.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A mouse event straight to a label, as the window system delivers it to
// the label that holds the mouse, wherever the pointer is.
void mouse(QWidget* target, QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held)
{
    const QPointF at(x, 5);
    QMouseEvent event(type, at, target->mapToGlobal(at), button, held, {});
    QCoreApplication::sendEvent(target, &event);
}

// ---- Start-up ---------------------------------------------------------------

TEST(StartUp, TheSkinnedWindowPlaysTheWelcomeTextWithItsPausesAndCmdGoComesLast)
{
    WindowHarness h;
    auto w = h.window();
    const WindowControls c(*w);
    // At each pause: its length, the lines so far and the selected one.
    QStringList seen;
    h.duringPause = [&](int ms) {
        EXPECT_TRUE(w->isVisible() && !c.CmdGo->isEnabled());
        seen << QStringLiteral("%1:%2:%3").arg(ms).arg(c.Lstinfo->count()).arg(c.Lstinfo->currentRow());
    };
    ASSERT_TRUE(w->Form_Load());
    EXPECT_EQ(WindowHarness::lines(c.Lstinfo),
              QStringList({"Welcome in", "Framewright", "------------------------", "Convert Half-Life's SCREENSHOTS",
                           "into JPEGs !", "Steps:", "1) Select Half-Life directory", "2) Select Output directory",
                           "(Where JPEGs will be created)", "3) Select Quality", "4) Check the delete option",
                           "5) Convert NOW !"}));
    // Lines 3, 5 and 9 leave the selection on the line before them.
    EXPECT_EQ(seen,
              QStringList({"700:1:0", "400:3:1", "600:5:3", "300:6:5", "300:7:6", "300:9:7", "300:10:9", "300:11:10"}));
    EXPECT_EQ(c.Lstinfo->currentRow(), 11);
    EXPECT_TRUE(c.CmdGo->isEnabled() && w->controlsEnabled());
    EXPECT_FALSE(c.LFore->isVisible());
    EXPECT_TRUE(c.picMainSkin->isHidden());
}

// (That clicks during the welcome do nothing is the first test's: CmdGo is
// disabled at every pause.)
TEST(StartUp, SkinThatIsNoPictureIsSkipped)
{
    WindowHarness h;
    fwtest::writeAll(h.programDir + "/skin.bmp", "BM this is not a bitmap");
    auto w = h.window();
    ASSERT_TRUE(w->Form_Load());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(h.messages.empty());
}

// ---- Settings and detection -------------------------------------------

TEST(Settings, AStoreThatCannotBeWrittenIsReportedOnce)
{
    WindowHarness h;
    auto w = h.started();
    // A file where the settings' directory was: nothing can be written there.
    const QString dir = QFileInfo(h.settingsFile).path();
    ASSERT_TRUE(QDir(dir).removeRecursively());
    fwtest::writeAll(dir, "not a directory");
    w->SaveSettings();
    w->SaveSettings();
    w->close();
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_TRUE(h.messages[0].text.startsWith("The settings could not be saved in " + h.settingsFile));
    EXPECT_EQ(h.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(h.quits, 1);
}

// A first start with a Wine prefix whose registry names the game, or stored
// settings whose output directory is gone: the stored quality and delete
// option apply, then the fixed default replaces both paths whether or not
// its directory exists. A found game keeps the start-up quality, 100, with
// the bar drawn full to match, so that the mouse changes nothing.
TEST(Detection, AFoundGameKeepsTheSlidersStartUpStateAndTheFixedDefaultSetsQuality90)
{
    const struct {
        QByteArray sierraDirectory; // in system.reg, its backslashes doubled
        const char* madeBelowThePrefix;
        bool stored;
        const char* caption;
        const char* captionAfterTheMouse; // the caption as the bar is drawn
    } rows[] = {
        {"C:\\\\SIERRA\\\\HALF-LIFE", "/drive_c/Sierra/Half-Life", false, "100 %", "100 %"},
        {"C:\\\\Gone", "/drive_c", true, "90 %", "90 %"},
        {"C:\\\\Gone", "/drive_c/Sierra/Half-Life", true, "90 %", "90 %"},
    };
    for (const auto& row : rows) {
        WindowHarness h;
        ASSERT_TRUE(QFile::remove(h.settingsFile));
        if (row.stored)
            h.writeSettings(h.input, h.tmp.path() + "/gone/", "42", "1");
        ASSERT_TRUE(QDir().mkpath(h.winePrefix + row.madeBelowThePrefix));
        ASSERT_TRUE(QDir().mkpath(h.winePrefix + "/dosdevices"));
        ASSERT_TRUE(QFile::link("../drive_c", h.winePrefix + "/dosdevices/c:"));
        fwtest::writeAll(h.winePrefix + "/system.reg", "[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n"
                                                       "\"Directory\"=\""
                                                           + row.sierraDirectory + "\"\n");
        auto w = h.started();
        const WindowControls c(*w);
        EXPECT_EQ(w->inputPath(), h.winePrefix + "/dosdevices/c:/Sierra/Half-Life/");
        EXPECT_EQ(c.lblOutPath->text(), (h.pictures + "/CS_JPEG/").toUpper());
        EXPECT_EQ(c.LblQuality->text(), row.caption);
        EXPECT_EQ(c.chkDel->isChecked(), row.stored) << "never changed by the defaults";
        mouse(c.LblBack, QEvent::MouseMove, 200, Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(c.LblQuality->text(), row.captionAfterTheMouse);
    }
}

// ---- Quality slider ---------------------------------------------------

TEST(Slider, PressesAndDragsFollowTheMouseWithinTheTrackOnly)
{
    WindowHarness h;
    auto w = h.started();
    const WindowControls c(*w);
    QTest::mousePress(c.LblBack, Qt::LeftButton, {}, QPoint(0, 5));
    EXPECT_EQ(c.LblQuality->text(), "00 %");
    QTest::mouseRelease(c.LblBack, Qt::LeftButton, {}, QPoint(0, 5));

    // Any button; the track's far end itself is on the track.
    mouse(c.LblBack, QEvent::MouseButtonPress, 305, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(c.LblQuality->text(), "100 %");
    mouse(c.LblBack, QEvent::MouseButtonRelease, 305, Qt::RightButton, Qt::NoButton);

    // Dragging past either end leaves the bar at the last place inside.
    mouse(c.LblFore, QEvent::MouseButtonPress, 100, Qt::LeftButton, Qt::LeftButton);
    mouse(c.LblFore, QEvent::MouseMove, 290, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(c.LblQuality->text(), "95 %");
    mouse(c.LblFore, QEvent::MouseMove, 400, Qt::NoButton, Qt::LeftButton);
    mouse(c.LblFore, QEvent::MouseMove, -3, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(c.LblQuality->text(), "95 %");
    mouse(c.LblFore, QEvent::MouseButtonRelease, 61, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(c.LblQuality->text(), "20 %") << "the release sets the bar once more";

    // Dead while a run has the controls disabled.
    w->DisableControls();
    mouse(c.LblBack, QEvent::MouseButtonPress, 10, Qt::LeftButton, Qt::LeftButton);
    mouse(c.LblBack, QEvent::MouseMove, 20, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(c.LblQuality->text(), "20 %");
}

// ---- Folders -----------------------------------------------------------

TEST(Folders, PickersOpenOnTheCurrentDirectoryAndSwapTheLabelsAndLongPathsAreElidedInTheMiddle)
{
    WindowHarness h;
    auto w = h.started();
    const WindowControls c(*w);
    EXPECT_FALSE(c.Lstinfo->horizontalScrollBar()->isVisible()) << "the welcome text fits";
    const QString chosen = h.tmp.path() + "/" + QString("a rather long folder name ").repeated(5) + "/shots";
    const QString longName = QString("screenshot").repeated(6) + ".bmp";
    QDir().mkpath(chosen);
    h.writeScreenshot(chosen + "/c1a00000.bmp");
    h.writeScreenshot(chosen + "/" + longName);
    h.pickerAnswers = {chosen, "/"};
    QStringList headings; // while each picker is open
    h.duringPicker = [&] {
        headings << QString::number(c.LblSrc->isVisible() + c.LblDest->isVisible() - c.lblInPath->isVisible()
                                    - c.lblOutPath->isVisible());
    };
    QTest::mouseClick(c.CmdInPath, Qt::LeftButton);
    QTest::mouseClick(c.CmdOutPath, Qt::LeftButton);
    EXPECT_EQ(h.pickerCalls, (std::vector<std::pair<QString, QString>>{{h.input, "HALF-LIFE directory"},
                                                                       {h.output, "Output directory"}}));
    EXPECT_EQ(headings, QStringList({"2", "2"}));
    // The paths and their labels; the output's separator is not doubled.
    const QString path = (chosen + "/").toUpper();
    EXPECT_EQ(QStringList({w->inputPath(), c.lblInPath->text(), w->outputPath(), c.lblOutPath->text()}),
              QStringList({chosen + "/", path, "/", "/"}));
    EXPECT_EQ(WindowHarness::lines(c.FileList), QStringList({"c1a00000.bmp", longName}));
    EXPECT_TRUE(c.lblInPath->isVisible() && !c.LblSrc->isVisible() && !c.LblDest->isVisible());
    // Too long for its label: the middle gives way.
    const QString shown = c.lblInPath->shownText();
    EXPECT_TRUE(shown.size() < path.size() && path.startsWith(shown.left(8)) && path.endsWith(shown.right(8)));

    // Cancelled: the directory stays and its list is read again.
    h.writeScreenshot(chosen + "/c2a50000.bmp");
    QTest::mouseClick(c.CmdInPath, Qt::LeftButton);
    EXPECT_EQ(w->inputPath(), chosen + "/");
    EXPECT_EQ(WindowHarness::lines(c.FileList), QStringList({"c1a00000.bmp", "c2a50000.bmp", longName}));

    QTest::mouseDClick(c.lblInPath, Qt::LeftButton);
    QTest::mouseDClick(c.lblOutPath, Qt::LeftButton);
    EXPECT_EQ(h.openedDirectories, QStringList({chosen + "/", "/"}));
}

// ---- File list and preview ---------------------------------------------

TEST(FileList, TheBitmapsAreListedAndTheSelectionShowsThePreviewAndDoubleClicksOpenIt)
{
    WindowHarness h;
    h.writeScreenshot(h.input + "c1a00000.bmp", QSize(640, 480));
    h.writeScreenshot(h.input + "c1a00001.bmp", QSize(800, 600));
    // Which files are listed, and in what order, is ScreenshotList's test.
    for (const char* name : {"c1a00002.bmp", "notes.txt"})
        fwtest::writeAll(h.input + name, "BM broken");
    auto w = h.started();
    const WindowControls c(*w);
    EXPECT_EQ(WindowHarness::lines(c.FileList), QStringList({"c1a00000.bmp", "c1a00001.bmp", "c1a00002.bmp"}));
    // Nothing selected yet: nothing opens.
    QTest::mouseDClick(c.ImgPreview, Qt::LeftButton);
    QTest::keyClick(c.FileList, Qt::Key_Return);
    EXPECT_TRUE(h.openedFiles.isEmpty());

    // A double-click as the window system sends it: press, release, then
    // the double-click of the second press.
    const QRect first = c.FileList->visualItemRect(c.FileList->item(0));
    QTest::mouseClick(c.FileList->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(c.ImgPreview->image().size(), QSize(640, 480));
    QTest::mouseDClick(c.FileList->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(c.ImgPreview, Qt::LeftButton);
    EXPECT_EQ(h.openedFiles, QStringList({h.input + "c1a00000.bmp", h.input + "c1a00000.bmp"}));
    // Each for the window, which owns what the shell may ask, shown as the shell's SW_SHOW.
    for (const auto& [owner, show] : h.openedFilesFor)
        EXPECT_TRUE(owner == w.get() && show == ShowCommand::Show);
    QTest::keyClick(c.FileList, Qt::Key_Down);
    EXPECT_EQ(c.ImgPreview->image().size(), QSize(800, 600));
    QTest::keyClick(c.FileList, Qt::Key_Down); // cannot be read: preview unchanged
    EXPECT_EQ(c.FileList->currentRow(), 2);
    EXPECT_EQ(c.ImgPreview->image().size(), QSize(800, 600));

    // The file is looked for in InputPath, whatever directory the list shows.
    const QString elsewhere = h.tmp.path() + "/elsewhere/";
    QDir().mkpath(elsewhere);
    h.writeScreenshot(elsewhere + "c1a00000.bmp", QSize(320, 200));
    ASSERT_TRUE(c.FileList->setPath(elsewhere));
    c.FileList->setCurrentRow(0);
    EXPECT_EQ(c.ImgPreview->image().size(), QSize(640, 480));
    EXPECT_TRUE(h.messages.empty());
}

// ---- Launches, buttons and closing -------------------------------------

TEST(Buttons, AboutStartsTheViewerBesideTheProgramOrShowsTheMakersLine)
{
    WindowHarness h;
    auto w = h.started();
    const WindowControls c(*w);
    QTest::mouseClick(c.CmdAbout, Qt::LeftButton);
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "Framewright from Quenk Kestrel (#hlshots @ FragNet)");
    EXPECT_EQ(h.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(h.messages[0].title, "Framewright");
    EXPECT_TRUE(h.launched.isEmpty());

    // Present: started, during a run too.
    fwtest::writeAll(h.programDir + "/" + FrmMain::viewerFileName(), "#!/bin/sh\n");
    w->DisableControls();
    QTest::mouseClick(c.CmdAbout, Qt::LeftButton);
    EXPECT_EQ(h.launched, QStringList{h.programDir + "/" + FrmMain::viewerFileName()});
    EXPECT_EQ(h.messages.size(), 1u);

    QTest::mouseClick(c.LblURLQuenk, Qt::LeftButton);
    QTest::mouseClick(c.lblURLSponso, Qt::LeftButton);
    EXPECT_EQ(h.openedAddresses, QStringList({"quenk.example.org", "snapz.example.net"}));
}

TEST(Closing, CmdExitAndEveryOtherCloseSaveTheSettingsAndTheNextStartShowsThem)
{
    WindowHarness h;
    const QString games = h.tmp.path() + "/Games/hl";
    QDir().mkpath(games);
    h.writeSettings(games, h.output); // stored without the separator
    {
        auto w = h.started();
        const WindowControls c(*w);
        EXPECT_EQ(QStringList({w->inputPath(), c.lblInPath->text(), c.lblOutPath->text()}),
                  QStringList({games + "/", (games + "/").toUpper(), h.output.toUpper()}));
        w->slider().SetQuality(7);
        c.chkDel->setChecked(true);
        QTest::mouseClick(c.CmdMin, Qt::LeftButton);
        EXPECT_TRUE(w->windowState() & Qt::WindowMinimized);
        QTest::mouseClick(c.CmdExit, Qt::LeftButton);
        EXPECT_EQ(h.quits, 1);
        EXPECT_EQ(h.setting("Quality"), "7") << "the caption's number, without its leading zero";
    }
    auto w = h.started();
    const WindowControls c(*w);
    EXPECT_EQ(c.LblQuality->text(), "07 %");
    EXPECT_TRUE(c.chkDel->isChecked());
    c.chkDel->setChecked(false);
    w->close(); // the system's close command, the task bar
    EXPECT_EQ(h.quits, 2);
    EXPECT_EQ(h.setting("Del"), "0");
    EXPECT_EQ(h.setting("InputPath"), games + "/");
}

} // namespace
