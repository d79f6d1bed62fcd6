#include "window/FrmMain.h"

#include "Makers.h"
#include "SkinArt.h"
#include "engine/ConversionRun.h"
#include "engine/mChrono.h"
#include "engine/mFileOp.h"
#include "platform/MsgBox.h"
#include "platform/Picture.h"
#include "window/DataFile.h"
#include "window/FrmMainRunHost.h"
#include "window/controls/FileListBox.h"
#include "window/controls/ImageBox.h"
#include "window/controls/LineControl.h"
#include "window/controls/PathLabel.h"
#include "window/controls/PictureButton.h"
#include "window/controls/WrapCheckBox.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QListWidget>

namespace {

// The welcome text, line by line: whether the line becomes the selected
// one (which scrolls it into view), and the pause after it.
struct WelcomeLine {
    const char* text;
    bool selectLast;
    int pauseMs;
};
constexpr WelcomeLine kWelcome[] = {
    {"Welcome in", true, 700},
    {"Framewright", true, 0},
    {"------------------------", false, 400},
    {"Convert Half-Life's SCREENSHOTS", true, 0},
    {"into JPEGs !", false, 600},
    {"Steps:", true, 300},
    {"1) Select Half-Life directory", true, 300},
    {"2) Select Output directory", true, 0},
    {"(Where JPEGs will be created)", false, 300},
    {"3) Select Quality", true, 300},
    {"4) Check the delete option", true, 300},
    {"5) Convert NOW !", true, 0},
};

} // namespace

const QString FrmMain::kAppTitle = QStringLiteral("Framewright");

FrmMain::FrmMain(FrmMainServices services) : m_services(std::move(services))
{
    setWindowTitle(QStringLiteral("Framewright, by %1 of %2")
                       .arg(QString::fromLatin1(makers::kProgrammer), QString::fromLatin1(makers::kTeam)));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(art::windowIcon(size)));
    setWindowIcon(icon);
    buildControls();
}

bool FrmMain::Form_Load()
{
    // 1-2. The skin lies beside the program (or in an install's share/framewright).
    picMainSkin->move(0, 0);
    const QString programDir = mFileOp::FormatPath(m_services.programDir);
    const QString skinPath = DataFile(programDir, QStringLiteral("skin.bmp"));

    // 3. Without a skin there is no window to show: say so and end, before
    // any settings are read, so the store keeps what it holds.
    if (!mFileOp::FileExists(skinPath)) {
        MsgBox(programDir + QStringLiteral("skin.bmp is missing !!") + MsgLineBreak()
                   + QStringLiteral("Where is my skin ??"),
               MsgIcon::Stop, MsgButtons::Ok, kAppTitle);
        m_services.quit();
        return false;
    }

    // 4-7. Background, size and outline; a skin that cannot be read leaves
    // the window plain and start-up goes on.
    try {
        const QImage skin = PictureToImage(LoadPicture(skinPath));
        if (!skin.isNull()) {
            picMainSkin->setPixmap(QPixmap::fromImage(skin));
            picMainSkin->resize(skin.size());
            applySkin(skin);
        }
    } catch (const std::exception&) {
    }
    applySkin2x(skinPath);

    EnableControls();    // 8
    if (!LoadSettings()) // 9
        ApplyDefaultSettings();
    InputPath = mFileOp::FormatPath(InputPath);   // 10
    FileList->setPath(InputPath);                 // 11
    lblInPath->setText(InputPath.toUpper());      // 12
    OutputPath = mFileOp::FormatPath(OutputPath); // 13
    lblOutPath->setText(OutputPath.toUpper());    // 14
    FileList->refresh();                          // 15
    CmdGo->setEnabled(false);                     // 16
    picMainSkin->hide();                          // 17
    show();                                       // 18

    // 19. The welcome text, line by line; the pauses keep the window live.
    for (const WelcomeLine& line : kWelcome) {
        Lstinfo->addItem(QString::fromLatin1(line.text));
        if (line.selectLast)
            selectLastInfo();
        if (line.pauseMs > 0)
            m_services.pause(line.pauseMs);
    }
    CmdGo->setEnabled(true); // 20
    return true;
}

// ---- Control states ------------------------------------------------------

void FrmMain::EnableControls()
{
    CmdGo->setEnabled(true);
    ControlsEnabled = true;
    CmdInPath->setEnabled(true);
    CmdOutPath->setEnabled(true);
    ImgPreview->setEnabled(true);
    chkDel->setEnabled(true);
    FileList->setEnabled(true);
    CmdExit->setEnabled(true);
    LFore->setVisible(false);
    FileList->refresh();
}

void FrmMain::DisableControls()
{
    CmdGo->setEnabled(false);
    ControlsEnabled = false;
    CmdInPath->setEnabled(false);
    CmdOutPath->setEnabled(false);
    ImgPreview->setEnabled(false);
    chkDel->setEnabled(false);
    FileList->setEnabled(false);
    CmdExit->setEnabled(false);
    LFore->setVisible(true);
}

// ---- Closing ---------------------------------------------------------------

void FrmMain::CmdExit_Click()
{
    mChrono::ProcessEvents();
    close();
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    // Every close stores the settings and ends the program; nothing is asked.
    SaveSettings();
    event->accept();
    m_services.quit();
}

// ---- The run --------------------------------------------------------------

void FrmMain::CmdGo_Click()
{
    // The run disables CmdGo, which sends the keyboard's focus on; it comes
    // back with the controls.
    const bool focused = CmdGo->hasFocus();
    FrmMainRunHost host(*this);
    RunConversion(host);
    if (focused && CmdGo->isEnabled())
        CmdGo->setFocus(Qt::OtherFocusReason);
}

void FrmMain::selectLastInfo()
{
    Lstinfo->setCurrentRow(Lstinfo->count() - 1);
    Lstinfo->scrollToBottom();
}

void FrmMain::restoreWindow()
{
    if (windowState() & Qt::WindowMinimized) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
    }
}
