#include "window/FrmMain.h"

#include "ButtonArt.h"
#include "Makers.h"
#include "SkinArt.h"
#include "window/FrmMainRunHost.h"
#include "engine/ConversionRun.h"
#include "engine/mChrono.h"
#include "engine/mFileOp.h"
#include "engine/platform/Picture.h"
#include "window/DataFile.h"
#include "window/mRegion.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

const QString kAppTitle = QStringLiteral("Framewright");

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

// The skin with the pixels of its key colour (its top-left pixel's) made
// fully transparent, for painting on the translucent window.
QImage keyedOut(const QImage& skin)
{
    QImage out = skin.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = out.pixel(0, 0);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (row[x] == key)
                row[x] = 0;
        }
    }
    return out;
}

} // namespace

FrmMain::FrmMain(FrmMainServices services) : QWidget(nullptr), m_services(std::move(services))
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
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
        m_services.message(programDir + QStringLiteral("skin.bmp is missing !!") + MsgLineBreak()
                               + QStringLiteral("Where is my skin ??"),
                           MsgIcon::Stop, kAppTitle);
        m_services.quit();
        return false;
    }

    // 4-7. Background, size and outline; a skin that cannot be read leaves
    // the window plain and start-up goes on.
    try {
        applySkin(PictureToImage(LoadPicture(skinPath)));
    } catch (const std::exception&) {
    }
    applySkin2x(skinPath);

    EnableControls();                                 // 8
    if (!LoadSettings())                              // 9
        ApplyDefaultSettings();
    InputPath = mFileOp::FormatPath(InputPath);       // 10
    FileList->setPath(InputPath);                     // 11
    lblInPath->setText(InputPath.toUpper());          // 12
    OutputPath = mFileOp::FormatPath(OutputPath);     // 13
    lblOutPath->setText(OutputPath.toUpper());        // 14
    FileList->refresh();                              // 15
    CmdGo->setEnabled(false);                         // 16
    picMainSkin->hide();                              // 17
    show();                                           // 18

    // 19. The welcome text, line by line; the pauses keep the window live.
    for (const WelcomeLine& line : kWelcome) {
        Lstinfo->addItem(QString::fromLatin1(line.text));
        if (line.selectLast)
            selectLastInfo();
        if (line.pauseMs > 0)
            m_services.pause(line.pauseMs);
    }
    CmdGo->setEnabled(true);                          // 20
    return true;
}

void FrmMain::applySkin(const QImage& skin)
{
    if (skin.isNull())
        return;
    picMainSkin->setPixmap(QPixmap::fromImage(skin));
    picMainSkin->resize(skin.size());
    setFixedSize(picMainSkin->size());

    // The outline: a mask where the window system shapes windows (X11,
    // Windows); on Wayland a mask only limits input, so the outside is also
    // painted fully transparent on the translucent background.
    const std::vector<QRect> rects = mRegion::RegionFromPicture(skin);
    if (rects.empty())
        clearMask();
    else
        setMask(mRegion::ToRegion(rects));

    m_background = keyedOut(skin);
}

// The same skin drawn at twice the resolution, beside skin.bmp, for screens
// of twice the density or more; the window keeps the size and the outline of
// skin.bmp (a shape in logical pixels), so a 2x skin that does not match it
// exactly in size is not used, nor is one that cannot be read.
void FrmMain::applySkin2x(const QString& skinPath)
{
    const QString path = QFileInfo(skinPath).dir().filePath(QStringLiteral("skin@2x.bmp"));
    if (m_background.isNull() || !mFileOp::FileExists(path))
        return;
    try {
        QImage skin = PictureToImage(LoadPicture(path));
        if (skin.size() != m_background.size() * 2)
            return;
        m_background2x = keyedOut(skin);
        m_background2x.setDevicePixelRatio(2);
    } catch (const std::exception&) {
    }
}

void FrmMain::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const bool dense = art::scaleFor(devicePixelRatioF()) > 1 && !m_background2x.isNull();
    if (m_background.isNull())
        p.fillRect(rect(), QColor(18, 22, 66));
    else
        p.drawImage(0, 0, dense ? m_background2x : m_background);
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

// ---- Moving the frameless window ----------------------------------------

void FrmMain::mousePressEvent(QMouseEvent* event) { startWindowMove(event); }

void FrmMain::startWindowMove(QMouseEvent* event)
{
    // Any button moves the window. The window system does it where it can
    // (Wayland allows nothing else); otherwise the window follows the mouse.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_manualMove = true;
    m_moveOffset = event->globalPosition().toPoint() - pos();
}

void FrmMain::mouseMoveEvent(QMouseEvent* event)
{
    if (m_manualMove)
        move(event->globalPosition().toPoint() - m_moveOffset);
}

void FrmMain::mouseReleaseEvent(QMouseEvent*) { m_manualMove = false; }
