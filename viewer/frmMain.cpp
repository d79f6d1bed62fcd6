#include "frmMain.h"

#include "PictureButton.h"
#include "WindowIcon.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

using namespace d3d;

namespace {

const char* const kCaption = "Kudoscope - Text Drawn onto a Surface";
const char* const kNoDevice = "Unable to create Direct3D device.";
const char* const kTitle = "Kudoscope";

// A quit button picture ("normal" or "pressed") drawn at the scale that
// suits the screen (1x, 2x or 3x), so that it stays sharp on dense screens.
QPixmap quitPicture(const QString& role, qreal devicePixelRatio)
{
    const int scale = devicePixelRatio >= 2.5 ? 3 : devicePixelRatio >= 1.5 ? 2 : 1;
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
    QPixmap picture(QStringLiteral(":/kudoscope/quit_%1%2.bmp").arg(role, suffix));
    picture.setDevicePixelRatio(scale);
    return picture;
}

QFont windowFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif); // where Tahoma is missing
    font.setPointSizeF(14.25);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

frmMain::frmMain(ViewerHost host, QWidget* parent)
    : QWidget(parent), m_host(std::move(host)),
      CmdQuit(new PictureButton(quitPicture(QStringLiteral("normal"), devicePixelRatioF()),
                                quitPicture(QStringLiteral("pressed"), devicePixelRatioF()), this))
{
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(kudoscopeIcon());
    setFont(windowFont());
    setFixedSize(kClientWidth, kClientHeight);

    CmdQuit->setGeometry(456, 0, 39, 27);
    CmdQuit->setShortcut(QKeySequence(Qt::Key_Escape));
    CmdQuit->setToolTip(QStringLiteral("Close Kudoscope"));
    CmdQuit->setAccessibleName(QStringLiteral("Close"));
    CmdQuit->setAccessibleDescription(QStringLiteral("Closes Kudoscope (Escape)"));
    setAccessibleName(QStringLiteral("Kudoscope"));
    setAccessibleDescription(QStringLiteral("The credits of Framewright, turning slowly in 3-D"));
    connect(CmdQuit, &QAbstractButton::clicked, this, &frmMain::CmdQuit_Click);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));

    Timer1.setInterval(kTimerInterval);
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    Timer1.start();
}

frmMain::~frmMain() { ReleaseDevice(); }

void frmMain::Form_Load()
{
    show();
    // Paint the window once before the device takes it over.
    QCoreApplication::processEvents();

    if (!OpenDevice(this)) {
        m_host.showStopMessage(this, QString::fromLatin1(kNoDevice), QString::fromLatin1(kTitle));
        Timer1.stop();
        m_host.endProgram(1);
        return;
    }
    InitDeviceObjects();
}

bool frmMain::OpenDevice(QWidget* hWnd)
{
    m_dx = std::make_unique<DirectX8>();
    m_d3dx = std::make_unique<D3DX8>();

    m_d3d = m_dx->Direct3DCreate();
    if (!m_d3d)
        return false;

    D3DDISPLAYMODE mode;
    if (FAILED(m_d3d->GetAdapterDisplayMode(0, &mode)))
        return false;

    m_d3dpp = D3DPRESENT_PARAMETERS{};
    m_d3dpp.Windowed = 1;
    m_d3dpp.SwapEffect = D3DSWAPEFFECT_FLIP;
    m_d3dpp.BackBufferFormat = mode.Format;
    m_d3dpp.BackBufferCount = 1;
    m_d3dpp.EnableAutoDepthStencil = 0;
    m_d3dpp.AutoDepthStencilFormat = D3DFMT_UNKNOWN;

    if (FAILED(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING, m_d3dpp, m_device)))
        return false;
    return m_device != nullptr;
}

void frmMain::ReleaseDevice()
{
    m_textTexture.reset();
    m_d3dx.reset();
    m_device.reset();
    m_d3d.reset();
    m_dx.reset();
}

void frmMain::CmdQuit_Click()
{
    int cancel = 0;
    Form_Unload(cancel);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    Form_Unload(cancel);
    event->accept();
}

void frmMain::Form_Unload(int& cancel)
{
    cancel = 0;
    if (m_unloaded)
        return; // the close that follows a quit click ends nothing twice
    m_unloaded = true;
    ReleaseDevice();
    Timer1.stop();
    m_host.endProgram(0);
}
