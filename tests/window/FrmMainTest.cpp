#include "WindowHarness.h"

#include "FrmMainLayout.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
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

QStringList lines(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

// ---- Start-up ---------------------------------------------------------------

TEST(StartUp, WelcomeTextPlaysWithItsPausesAndCmdGoComesLast)
{
    WindowHarness h;
    h.writeSettings(h.input, h.output, "75", "0");
    auto w = h.window();
    struct Seen {
        int ms, lines, selected;
        bool visible, goEnabled;
    };
    std::vector<Seen> seen;
    h.duringPause = [&](int ms) {
        seen.push_back({ms, w->Lstinfo->count(), w->Lstinfo->currentRow(), w->isVisible(),
                        w->CmdGo->isEnabled()});
    };
    ASSERT_TRUE(w->Form_Load());

    EXPECT_EQ(lines(w->Lstinfo),
              QStringList({"Welcome in", "Framewright", "------------------------",
                           "Convert Half-Life's SCREENSHOTS", "into JPEGs !", "Steps:",
                           "1) Select Half-Life directory", "2) Select Output directory",
                           "(Where JPEGs will be created)", "3) Select Quality",
                           "4) Check the delete option", "5) Convert NOW !"}));
    // Pause after lines 1, 3, 5, 6, 7, 9, 10, 11; lines 3, 5 and 9 leave the
    // selection on the line before them.
    const std::vector<std::array<int, 3>> expected{{700, 1, 0}, {400, 3, 1}, {600, 5, 3}, {300, 6, 5},
                                                   {300, 7, 6}, {300, 9, 7}, {300, 10, 9}, {300, 11, 10}};
    ASSERT_EQ(seen.size(), expected.size());
    int total = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].ms, expected[i][0]) << i;
        EXPECT_EQ(seen[i].lines, expected[i][1]) << i;
        EXPECT_EQ(seen[i].selected, expected[i][2]) << i;
        EXPECT_TRUE(seen[i].visible) << "the window is shown before the welcome text";
        EXPECT_FALSE(seen[i].goEnabled) << "CmdGo waits for the end of the welcome text";
        total += seen[i].ms;
    }
    EXPECT_EQ(total, 3200);
    EXPECT_EQ(w->Lstinfo->currentRow(), 11);
    EXPECT_TRUE(w->CmdGo->isEnabled());
    EXPECT_TRUE(w->ControlsEnabled);
    EXPECT_FALSE(w->LFore->isVisible());
    EXPECT_TRUE(w->picMainSkin->isHidden());
    EXPECT_EQ(h.quits, 0);
}

TEST(StartUp, SkinGivesSizeAndOutline)
{
    WindowHarness h;
    auto w = h.started();
    EXPECT_EQ(w->size(), QSize(layout::kSkinWidth, layout::kSkinHeight));
    EXPECT_EQ(w->picMainSkin->pos(), QPoint(0, 0));
    EXPECT_EQ(w->picMainSkin->size(), w->size());
    const QRegion mask = w->mask();
    EXPECT_FALSE(mask.isEmpty());
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_TRUE(mask.contains(QPoint(320, 200)));
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
}

TEST(StartUp, PathsAreNormalisedAndShownInCapitals)
{
    WindowHarness h;
    QDir().mkpath(h.tmp.path() + "/Games/hl");
    h.writeSettings(h.tmp.path() + "/Games/hl", h.output, "90", "1");
    auto w = h.started();
    EXPECT_EQ(w->InputPath, h.tmp.path() + "/Games/hl/");
    EXPECT_EQ(w->lblInPath->text(), (h.tmp.path() + "/Games/hl/").toUpper());
    EXPECT_EQ(w->lblOutPath->text(), h.output.toUpper());
    EXPECT_EQ(w->LblQuality->text(), "90 %");
    EXPECT_TRUE(w->chkDel->isChecked());
}

TEST(StartUp, MissingSkinSaysSoAndEndsWithoutTouchingTheSettings)
{
    WindowHarness h;
    h.writeSettings("/earlier/in/", "/earlier/out/", "33", "1");
    const QByteArray before = fwtest::readAll(h.settingsFile);
    ASSERT_TRUE(QFile::remove(h.programDir + "/skin.bmp"));

    auto w = h.window();
    EXPECT_FALSE(w->Form_Load());
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, h.programDir + "/skin.bmp is missing !!\nWhere is my skin ??");
    EXPECT_EQ(h.messages[0].icon, MsgIcon::Stop);
    EXPECT_EQ(h.messages[0].title, "Framewright");
    EXPECT_EQ(h.quits, 1);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->Lstinfo->count(), 0);
    EXPECT_EQ(fwtest::readAll(h.settingsFile), before);
}

TEST(StartUp, SkinThatIsNoPictureIsSkippedAndStartUpGoesOn)
{
    WindowHarness h;
    fwtest::writeAll(h.programDir + "/skin.bmp", "BM this is not a bitmap");
    auto w = h.started();
    EXPECT_TRUE(h.messages.empty());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Lstinfo->count(), 12);
}

TEST(StartUp, ClickingCmdGoDuringTheWelcomeTextDoesNothing)
{
    WindowHarness h;
    h.writeSettings(h.input, h.output, "90", "0");
    auto w = h.window();
    h.duringPause = [&](int) { QTest::mouseClick(w->CmdGo, Qt::LeftButton); };
    ASSERT_TRUE(w->Form_Load());
    EXPECT_EQ(w->Lstinfo->item(0)->text(), "Welcome in"); // no run started
    EXPECT_TRUE(h.messages.empty());
}

// ---- Control states ----------------------------------------------------

TEST(Controls, DisableAndEnableFollowTheTable)
{
    WindowHarness h;
    auto w = h.started();
    QWidget* const gated[] = {w->CmdGo,   w->CmdInPath, w->CmdOutPath, w->ImgPreview,
                              w->chkDel, w->FileList,  w->CmdExit};
    w->DisableControls();
    for (QWidget* c : gated)
        EXPECT_FALSE(c->isEnabled()) << c->metaObject()->className();
    EXPECT_FALSE(w->ControlsEnabled);
    EXPECT_TRUE(w->LFore->isVisible());
    for (QWidget* c : {static_cast<QWidget*>(w->CmdMin), static_cast<QWidget*>(w->CmdAbout),
                       static_cast<QWidget*>(w->LblURLQuenk), static_cast<QWidget*>(w->lblURLSponso)})
        EXPECT_TRUE(c->isEnabled());

    h.writeScreenshot(h.input + "late0000.bmp");
    w->InputPath = h.input;
    w->FileList->setPath(h.input);
    QFile::remove(h.input + "late0000.bmp");
    w->EnableControls();
    for (QWidget* c : gated)
        EXPECT_TRUE(c->isEnabled());
    EXPECT_TRUE(w->ControlsEnabled);
    EXPECT_FALSE(w->LFore->isVisible());
    EXPECT_EQ(w->FileList->count(), 0) << "EnableControls reads the directory again";
}

// ---- Settings --------------------------------------------------------------

TEST(Settings, SavedValuesComeBackUnchanged)
{
    WindowHarness h;
    const QString odd = h.tmp.path() + "/with, comma and = sign/";
    QDir().mkpath(odd);
    auto w = h.started();
    w->InputPath = odd;
    w->OutputPath = h.output;
    w->SetQuality(7);
    w->chkDel->setChecked(true);
    w->SaveSettings();
    EXPECT_EQ(h.setting("InputPath"), odd);
    EXPECT_EQ(h.setting("OutputPath"), h.output);
    EXPECT_EQ(h.setting("Quality"), "7");
    EXPECT_EQ(h.setting("Del"), "1");

    auto again = h.window();
    EXPECT_TRUE(again->LoadSettings());
    EXPECT_EQ(again->InputPath, odd);
    EXPECT_EQ(again->OutputPath, h.output);
    EXPECT_EQ(again->LblQuality->text(), "07 %");
    EXPECT_TRUE(again->chkDel->isChecked());
}

TEST(Settings, HundredIsStoredWithoutLeadingZerosOrSign)
{
    WindowHarness h;
    auto w = h.started();
    w->SetQuality(100);
    w->SaveSettings();
    EXPECT_EQ(h.setting("Quality"), "100");
    w->SetQuality(5);
    w->SaveSettings();
    EXPECT_EQ(h.setting("Quality"), "5");
    EXPECT_EQ(h.setting("Del"), "0");
}

TEST(Settings, NoStoredInputMeansTheOtherKeysAreNotRead)
{
    WindowHarness h;
    h.writeSettings("", h.output, "20", "1");
    auto w = h.window();
    EXPECT_FALSE(w->LoadSettings());
    EXPECT_EQ(w->OutputPath, "");
    EXPECT_EQ(w->LblQuality->text(), "100 %");
    EXPECT_FALSE(w->chkDel->isChecked());
}

TEST(Settings, AbsentQualityReadsAsZero)
{
    WindowHarness h;
    h.writeSettings(h.input, h.output, QString(), QString());
    auto w = h.window();
    EXPECT_TRUE(w->LoadSettings());
    EXPECT_EQ(w->LblQuality->text(), "00 %");
    EXPECT_FALSE(w->chkDel->isChecked());
}

TEST(Settings, HandEditedValuesAreBroughtIntoRange)
{
    WindowHarness h;
    h.writeSettings(h.input, h.output, "250", "2");
    auto w = h.window();
    w->LoadSettings();
    EXPECT_EQ(w->LblQuality->text(), "100 %");
    EXPECT_FALSE(w->chkDel->isChecked()) << "only an explicit 1 deletes anything";
    h.writeSettings(h.input, h.output, "-4", "x");
    w->LoadSettings();
    EXPECT_EQ(w->LblQuality->text(), "00 %");
    h.writeSettings(h.input, h.output, "64.5 percent", "1");
    w->LoadSettings();
    EXPECT_EQ(w->LblQuality->text(), "64 %") << "halves go to the even neighbour";
}

TEST(Settings, DeletedOutputDirectoryFallsBackToDefaultsAfterApplyingQuality)
{
    WindowHarness h;
    h.writeSettings(h.input, h.tmp.path() + "/gone/", "42", "1");
    auto w = h.started();
    EXPECT_EQ(w->OutputPath, h.pictures + "/CS_JPEG/");
    EXPECT_EQ(w->InputPath, h.winePrefix + "/drive_c/Sierra/Half-Life/");
    EXPECT_EQ(w->LblQuality->text(), "90 %"); // the fixed fall-back sets 90
    EXPECT_TRUE(w->chkDel->isChecked());      // never changed by the defaults
}

// ---- Detection -------------------------------------------------------------

class Detection : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(h.winePrefix + "/drive_c");
        QDir().mkpath(h.winePrefix + "/dosdevices");
        QFile::link("../drive_c", h.winePrefix + "/dosdevices/c:");
    }
    void registry(const QByteArray& body)
    {
        fwtest::writeAll(h.winePrefix + "/system.reg", "WINE REGISTRY Version 2\n\n" + body);
    }
    WindowHarness h;
};

TEST_F(Detection, FirstRunFindsTheSierraDirectory)
{
    QDir().mkpath(h.winePrefix + "/drive_c/Sierra/Half-Life");
    registry("[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n\"Directory\"=\"C:\\\\SIERRA\\\\HALF-LIFE\"\n");
    auto w = h.started();
    EXPECT_EQ(w->InputPath, h.winePrefix + "/dosdevices/c:/Sierra/Half-Life/");
    EXPECT_EQ(w->OutputPath, h.pictures + "/CS_JPEG/");
    EXPECT_EQ(w->lblOutPath->text(), (h.pictures + "/CS_JPEG/").toUpper());
    EXPECT_EQ(w->LblQuality->text(), "100 %") << "the slider keeps its start-up state";
    EXPECT_FALSE(w->chkDel->isChecked());
}

TEST_F(Detection, AppPathsIsTheSecondPlaceAndExpandStringsCountAsAbsent)
{
    QDir().mkpath(h.winePrefix + "/drive_c/Valve/HL");
    registry("[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n\"Directory\"=str(2):\"C:\\\\Valve\\\\HL\"\n"
             "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\hl.exe] 1\n"
             "\"Path\"=\"C:\\\\Valve\\\\HL\"\n");
    auto w = h.window();
    w->ApplyDefaultSettings();
    EXPECT_EQ(w->InputPath, h.winePrefix + "/dosdevices/c:/Valve/HL");
    EXPECT_EQ(w->LblQuality->text(), "100 %");
}

TEST_F(Detection, SteamInstallAnswersWhenWineHasNothing)
{
    const QString install = h.home + "/.local/share/Steam/steamapps/common/Half-Life";
    QDir().mkpath(install + "/valve");
    QDir().mkpath(install + "/cstrike");
    h.writeScreenshot(install + "/cstrike/de_dust0000.bmp");
    auto w = h.window();
    w->ApplyDefaultSettings();
    EXPECT_EQ(w->InputPath, install + "/cstrike");
    EXPECT_EQ(w->LblQuality->text(), "100 %");
}

TEST_F(Detection, NothingFoundFallsBackToTheSierraFolderInDriveCAndQuality90)
{
    auto w = h.started();
    EXPECT_EQ(w->InputPath, h.winePrefix + "/dosdevices/c:/Sierra/Half-Life/");
    EXPECT_EQ(w->OutputPath, h.pictures + "/CS_JPEG/");
    EXPECT_EQ(w->LblQuality->text(), "90 %");
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_TRUE(h.messages.empty());
}

TEST_F(Detection, ExistingStoredOutputIsReplacedByTheDefaultToo)
{
    h.writeSettings(h.tmp.path() + "/gone", h.output, "50", "0");
    auto w = h.started();
    EXPECT_EQ(w->OutputPath, h.pictures + "/CS_JPEG/");
    EXPECT_EQ(w->LblQuality->text(), "90 %");
}

// ---- Quality slider ---------------------------------------------------

TEST(Slider, SetQualityMovesTheBarAndWritesTheCaption)
{
    WindowHarness h;
    auto w = h.window();
    EXPECT_EQ(w->LblQuality->text(), "100 %"); // start-up state
    EXPECT_EQ(w->LblFore->width(), 1845 / 15);
    EXPECT_EQ(w->LblBack->width(), 4575 / 15);
    w->SetQuality(90);
    EXPECT_NEAR(w->LblFore->width() * 15, 4117.5, 7.5);
    EXPECT_EQ(w->LblQuality->text(), "90 %");
    w->SetQuality(0);
    EXPECT_EQ(w->LblFore->width(), 0);
    EXPECT_EQ(w->LblQuality->text(), "00 %");
    for (int q = 0; q <= 100; ++q) {
        w->SetQuality(q);
        EXPECT_EQ(w->LblQuality->text(), QStringLiteral("%1 %").arg(q, 2, 10, QLatin1Char('0')));
    }
}

TEST(Slider, PressesAndDragsFollowTheMouseWithinTheTrackOnly)
{
    WindowHarness h;
    auto w = h.started();
    QTest::mousePress(w->LblBack, Qt::LeftButton, {}, QPoint(0, 5));
    EXPECT_EQ(w->LblQuality->text(), "00 %");
    QTest::mouseRelease(w->LblBack, Qt::LeftButton, {}, QPoint(0, 5));

    // Any button; the track's far end itself is on the track.
    mouse(w->LblBack, QEvent::MouseButtonPress, 305, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(w->LblQuality->text(), "100 %");
    mouse(w->LblBack, QEvent::MouseButtonRelease, 305, Qt::RightButton, Qt::NoButton);

    // Dragging past the right end leaves the bar at the last place inside.
    mouse(w->LblFore, QEvent::MouseButtonPress, 100, Qt::LeftButton, Qt::LeftButton);
    mouse(w->LblFore, QEvent::MouseMove, 290, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w->LblQuality->text(), "95 %");
    mouse(w->LblFore, QEvent::MouseMove, 400, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w->LblFore->width(), 290);
    EXPECT_EQ(w->LblQuality->text(), "95 %");
    mouse(w->LblFore, QEvent::MouseMove, -3, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w->LblFore->width(), 290);
    mouse(w->LblFore, QEvent::MouseButtonRelease, 61, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(w->LblQuality->text(), "20 %") << "the release sets the bar once more";
}

TEST(Slider, FirstMouseMoveBringsTheStartUpCaptionInLineWithTheBar)
{
    WindowHarness h;
    const QString found = h.winePrefix + "/drive_c/Sierra/Half-Life";
    QDir().mkpath(found);
    QDir().mkpath(h.winePrefix + "/dosdevices");
    QFile::link("../drive_c", h.winePrefix + "/dosdevices/c:");
    fwtest::writeAll(h.winePrefix + "/system.reg",
                     "[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n\"Directory\"=\"C:\\\\Sierra\\\\Half-Life\"\n");
    auto w = h.started();
    EXPECT_EQ(w->LblQuality->text(), "100 %");
    mouse(w->LblBack, QEvent::MouseMove, 200, Qt::NoButton, Qt::NoButton); // caption only
    EXPECT_EQ(w->LblFore->width(), 123);
    EXPECT_EQ(w->LblQuality->text(), "40 %");
}

TEST(Slider, DeadWhileControlsAreDisabled)
{
    WindowHarness h;
    auto w = h.started();
    w->SetQuality(50);
    w->DisableControls();
    mouse(w->LblBack, QEvent::MouseButtonPress, 10, Qt::LeftButton, Qt::LeftButton);
    mouse(w->LblBack, QEvent::MouseMove, 20, Qt::NoButton, Qt::LeftButton);
    mouse(w->LblBack, QEvent::MouseButtonRelease, 20, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(w->LblQuality->text(), "50 %");
    w->EnableControls();
    QTest::mousePress(w->LblBack, Qt::LeftButton, {}, QPoint(0, 5));
    EXPECT_EQ(w->LblQuality->text(), "00 %");
}

// ---- Folders -----------------------------------------------------------

TEST(Folders, InputPickerOpensOnTheCurrentDirectoryAndSwapsTheLabels)
{
    WindowHarness h;
    h.writeSettings(h.input, h.output, "90", "0");
    auto w = h.started();
    const QString chosen = h.tmp.path() + "/Games/Shots";
    QDir().mkpath(chosen);
    h.writeScreenshot(chosen + "/c1a00000.bmp");
    h.pickerAnswers.push_back(chosen);
    bool headingsShown = false;
    h.duringPicker = [&] {
        headingsShown = w->LblSrc->isVisible() && w->LblDest->isVisible() && !w->lblInPath->isVisible()
                        && !w->lblOutPath->isVisible();
    };
    QTest::mouseClick(w->CmdInPath, Qt::LeftButton);
    ASSERT_EQ(h.pickerCalls.size(), 1u);
    EXPECT_EQ(h.pickerCalls[0].first, h.input);
    EXPECT_EQ(h.pickerCalls[0].second, "HALF-LIFE directory");
    EXPECT_TRUE(headingsShown);
    EXPECT_EQ(w->InputPath, chosen + "/");
    EXPECT_EQ(w->lblInPath->text(), (chosen + "/").toUpper());
    EXPECT_EQ(lines(w->FileList), QStringList{"c1a00000.bmp"});
    EXPECT_TRUE(w->lblInPath->isVisible());
    EXPECT_FALSE(w->LblSrc->isVisible());
}

TEST(Folders, CancelledInputPickerKeepsTheDirectoryButReadsTheListAgain)
{
    WindowHarness h;
    h.writeSettings(h.input, h.output, "90", "0");
    auto w = h.started();
    EXPECT_EQ(w->FileList->count(), 0);
    h.writeScreenshot(h.input + "c2a50000.bmp");
    QTest::mouseClick(w->CmdInPath, Qt::LeftButton); // no answer: cancelled
    EXPECT_EQ(w->InputPath, h.input);
    EXPECT_EQ(lines(w->FileList), QStringList{"c2a50000.bmp"});
}

TEST(Folders, OutputPickerAndTheRootDirectory)
{
    WindowHarness h;
    h.writeSettings(h.input, h.output, "90", "0");
    auto w = h.started();
    h.pickerAnswers.push_back("/");
    QTest::mouseClick(w->CmdOutPath, Qt::LeftButton);
    EXPECT_EQ(h.pickerCalls.at(0).first, h.output);
    EXPECT_EQ(h.pickerCalls.at(0).second, "Output directory");
    EXPECT_EQ(w->OutputPath, "/"); // the separator is not doubled
    EXPECT_EQ(w->lblOutPath->text(), "/");
    EXPECT_EQ(w->InputPath, h.input);
    EXPECT_FALSE(w->LblDest->isVisible());
}

TEST(Folders, DoubleClickOnAPathOpensItInTheFileManager)
{
    WindowHarness h;
    h.writeSettings(h.input, h.output, "90", "0");
    auto w = h.started();
    QTest::mouseDClick(w->lblInPath, Qt::LeftButton);
    QTest::mouseDClick(w->lblOutPath, Qt::LeftButton);
    EXPECT_EQ(h.openedDirectories, QStringList({h.input, h.output}));
}

// ---- File list and preview ---------------------------------------------

TEST(FileList, BitmapsOfAnyCaseSortedByNameWithoutRegardToCase)
{
    WindowHarness h;
    for (const char* name : {"b.BMP", "A.bmp", "c.Bmp", "notes.txt", "x.bmpx", "a0.bmp"})
        fwtest::writeAll(h.input + name, "BM");
    QDir().mkpath(h.input + "folder.bmp");
    h.writeSettings(h.input, h.output, "90", "0");
    auto w = h.started();
    EXPECT_EQ(lines(w->FileList), QStringList({"A.bmp", "a0.bmp", "b.BMP", "c.Bmp"}));
}

TEST(FileList, SelectionByClickOrArrowKeysShowsThePreviewStretched)
{
    WindowHarness h;
    h.writeScreenshot(h.input + "c1a00000.bmp", QSize(640, 480));
    h.writeScreenshot(h.input + "c1a00001.bmp", QSize(800, 600));
    fwtest::writeAll(h.input + "c1a00002.bmp", "BM broken");
    h.writeSettings(h.input, h.output, "90", "0");
    auto w = h.started();
    EXPECT_EQ(w->ImgPreview->size(), QSize(211, 163));
    EXPECT_TRUE(w->ImgPreview->image().isNull());

    const QRect first = w->FileList->visualItemRect(w->FileList->item(0));
    QTest::mouseClick(w->FileList->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(w->ImgPreview->image().size(), QSize(640, 480));

    QTest::keyClick(w->FileList, Qt::Key_Down);
    EXPECT_EQ(w->FileList->currentRow(), 1);
    EXPECT_EQ(w->ImgPreview->image().size(), QSize(800, 600));

    QTest::keyClick(w->FileList, Qt::Key_Down); // cannot be read: preview unchanged
    EXPECT_EQ(w->FileList->currentRow(), 2);
    EXPECT_EQ(w->ImgPreview->image().size(), QSize(800, 600));
    EXPECT_TRUE(h.messages.empty());
}

TEST(FileList, PreviewUsesTheInputPathNotTheListsDirectory)
{
    WindowHarness h;
    h.writeScreenshot(h.input + "same0000.bmp", QSize(640, 480));
    h.writeSettings(h.input, h.output, "90", "0");
    auto w = h.started();
    const QString elsewhere = h.tmp.path() + "/elsewhere/";
    QDir().mkpath(elsewhere);
    h.writeScreenshot(elsewhere + "same0000.bmp", QSize(800, 600));
    w->InputPath = elsewhere;
    w->FileList->setCurrentRow(0);
    EXPECT_EQ(w->ImgPreview->image().size(), QSize(800, 600));
}

TEST(FileList, DoubleClicksOpenTheSelectedBitmapAndNothingWithoutSelection)
{
    WindowHarness h;
    h.writeScreenshot(h.input + "c1a00000.bmp");
    h.writeSettings(h.input, h.output, "90", "0");
    auto w = h.started();
    w->ImgPreview_DblClick();
    w->FileList_DblClick();
    EXPECT_TRUE(h.openedFiles.isEmpty());

    const QRect first = w->FileList->visualItemRect(w->FileList->item(0));
    // A double-click as the window system sends it: press, release, then
    // the double-click of the second press.
    QTest::mouseClick(w->FileList->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(w->FileList->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(h.openedFiles, QStringList({h.input + "c1a00000.bmp"}));
    QTest::mouseDClick(w->ImgPreview, Qt::LeftButton);
    EXPECT_EQ(h.openedFiles, QStringList({h.input + "c1a00000.bmp", h.input + "c1a00000.bmp"}));
}

// ---- Launches and closing ----------------------------------------------

TEST(Launches, AboutWithoutTheViewerShowsTheMakersLine)
{
    WindowHarness h;
    auto w = h.started();
    QTest::mouseClick(w->CmdAbout, Qt::LeftButton);
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "Framewright from Quenk Kestrel (#hlshots @ FragNet)");
    EXPECT_EQ(h.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(h.messages[0].title, "Framewright");
    EXPECT_TRUE(h.launched.isEmpty());
}

TEST(Launches, AboutStartsTheViewerBesideTheProgramEvenDuringARun)
{
    WindowHarness h;
    fwtest::writeAll(h.programDir + "/" + FrmMain::viewerFileName(), "#!/bin/sh\n");
    auto w = h.started();
    w->DisableControls();
    QTest::mouseClick(w->CmdAbout, Qt::LeftButton);
    EXPECT_EQ(h.launched, QStringList{h.programDir + "/" + FrmMain::viewerFileName()});
    EXPECT_TRUE(h.messages.empty());
}

TEST(Launches, WebLabelsOpenTheirOwnCaptions)
{
    WindowHarness h;
    auto w = h.started();
    QTest::mouseClick(w->LblURLQuenk, Qt::LeftButton);
    QTest::mouseClick(w->lblURLSponso, Qt::LeftButton);
    EXPECT_EQ(h.openedAddresses, QStringList({w->LblURLQuenk->text(), w->lblURLSponso->text()}));
    EXPECT_FALSE(w->LblURLQuenk->text().isEmpty());
}

TEST(Closing, CmdExitAndEveryOtherCloseSaveTheSettingsAndEnd)
{
    WindowHarness h;
    h.writeSettings(h.input, h.output, "90", "0");
    {
        auto w = h.started();
        w->SetQuality(33);
        QTest::mouseClick(w->CmdExit, Qt::LeftButton);
        EXPECT_EQ(h.quits, 1);
        EXPECT_EQ(h.setting("Quality"), "33");
    }
    {
        auto w = h.started();
        w->chkDel->setChecked(true);
        w->close(); // the system's close command, the task bar
        EXPECT_EQ(h.quits, 2);
        EXPECT_EQ(h.setting("Del"), "1");
        EXPECT_EQ(h.setting("InputPath"), h.input);
    }
}

TEST(Closing, CmdMinMinimisesTheWindow)
{
    WindowHarness h;
    auto w = h.started();
    QTest::mouseClick(w->CmdMin, Qt::LeftButton);
    EXPECT_TRUE(w->windowState() & Qt::WindowMinimized);
    w->restoreWindow();
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);
}

TEST(Layout, ControlsSitWhereTheTableSaysWithTheirTexts)
{
    WindowHarness h;
    auto w = h.started();
    EXPECT_EQ(w->CmdGo->geometry(), QRect(222, 302, 161, 131));
    EXPECT_EQ(w->FileList->geometry(), QRect(426, 84, 191, 162));
    EXPECT_EQ(w->Lstinfo->geometry(), QRect(20, 198, 177, 251));
    EXPECT_EQ(w->chkDel->text(), "Delete ScreensShots after conversion");
    EXPECT_EQ(w->CmdGo->toolTip(), "Convert ScreenShots into JPEGs");
    EXPECT_EQ(w->CmdInPath->toolTip(), "Select Input Directory");
    EXPECT_EQ(w->CmdOutPath->toolTip(), "Select OutPut directory");
    EXPECT_EQ(w->CmdMin->toolTip(), "Reduce window");
    EXPECT_EQ(w->CmdExit->toolTip(), "Close");
    EXPECT_EQ(w->lbltutqual->text(), "Quality");
    EXPECT_EQ(w->LblSrc->text(), "Half-Life Directory");
    EXPECT_EQ(w->LblDest->text(), "Output Directory");
    // Stacking: the bar above its track, the progress line above its outline.
    const QObjectList& order = w->children();
    EXPECT_GT(order.indexOf(w->LblFore), order.indexOf(w->LblBack));
    EXPECT_GT(order.indexOf(w->LFore), order.indexOf(w->LBack));
    EXPECT_GT(order.indexOf(w->LBack), order.indexOf(w->LBlack));
    EXPECT_EQ(w->lblInPath->font().family(), "MS Sans Serif");
}

} // namespace
