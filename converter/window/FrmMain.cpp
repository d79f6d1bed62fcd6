#include "window/FrmMain.h"

#include "FrmMainLayout.h"
#include "SkinArt.h"
#include "window/FrmMainRunHost.h"
#include "engine/ConversionRun.h"
#include "engine/mChrono.h"
#include "engine/mFileOp.h"
#include "engine/platform/Picture.h"
#include "window/detection/MdlRegAll.h"
#include "window/detection/SteamLibrary.h"
#include "window/mRegion.h"

#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

using layout::kTwipsPerPixel;

const QColor kLightBlue(128, 128, 255);
const QString kAppTitle = QStringLiteral("Framewright");
const QString kSettingsSection = QStringLiteral("CONFIG");

const QString kSierraKey = QStringLiteral("Software\\Sierra OnLine\\Setup\\HLIFEFE");
const QString kAppPathsKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hl.Exe");


// The makers, as the About box and the two web labels name them.
const QString kMakersAddress = QStringLiteral("quenk.example.org");
const QString kSponsorAddress = QStringLiteral("snapz.example.net");
const QString kNickname = QStringLiteral("Kestrel"); // the programmer, of the Quenk team
const QString kChatChannel = QStringLiteral("#hlshots");
const QString kChatNetwork = QStringLiteral("FragNet");

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

// "MS Sans Serif" at a size in points; the font system picks what stands in
// for it. Sized in pixels at 96 dots per inch, the scale the layout's twips
// assume, so text keeps its place on the skin whatever the screen's DPI; and
// semi-condensed, since the usual stand-ins are wider than the original.
QFont formFont(double points, bool bold = false, bool underline = false)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setStretch(QFont::SemiCondensed);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void colour(QWidget* w, QPalette::ColorRole role, const QColor& c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::All, role, c);
    w->setPalette(pal);
}

QPixmap pixmapOf(const QImage& image) { return QPixmap::fromImage(image); }

} // namespace

FrmMain::FrmMain(FrmMainServices services) : QWidget(nullptr), m_services(std::move(services))
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(QStringLiteral("Framewright, by %1 of Quenk").arg(kNickname));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(pixmapOf(art::windowIcon(size)));
    setWindowIcon(icon);
    buildControls();
}

void FrmMain::buildControls()
{
    auto place = [](QWidget* w, const layout::TwipRect& r) { w->setGeometry(r.pixels()); };
    auto label = [&](auto* l, const layout::TwipRect& r, const QFont& font) {
        place(l, r);
        l->setFont(font);
        colour(l, QPalette::WindowText, kLightBlue);
        return l;
    };
    auto button = [&](art::Button id, const layout::TwipRect& r, bool ownDisabledFace,
                      const QString& tip) {
        auto* b = new PictureButton(this, art::buttonFace(id, art::Face::Normal),
                                    art::buttonFace(id, art::Face::Pressed),
                                    ownDisabledFace ? art::buttonFace(id, art::Face::Disabled) : QImage());
        place(b, r);
        b->setToolTip(tip);
        return b;
    };

    // Back to front: the outlines and bars first, the controls above them.
    picMainSkin = new QLabel(this);
    picMainSkin->setAttribute(Qt::WA_TransparentForMouseEvents); // presses reach the window

    LBlack = new LineControl(this, Qt::black, layout::LBlack.thicknessPx, layout::LBlack.x1,
                             layout::LBlack.x2, layout::LBlack.y);
    LBack = new LineControl(this, QColor(64, 64, 64), layout::LBack.thicknessPx, layout::LBack.x1,
                            layout::LBack.x2, layout::LBack.y);
    LFore = new LineControl(this, kLightBlue, layout::LFore.thicknessPx, layout::LFore.x1,
                            layout::LFore.x2, layout::LFore.y);

    SFrame = new ShapeControl(this, kLightBlue.darker(130));
    place(SFrame, layout::SFrame);

    LblBack = label(new MouseLabel(this), layout::LblBack, formFont(8.25));
    LblBack->setAutoFillBackground(true);
    colour(LblBack, QPalette::Window, Qt::black);
    LblFore = label(new MouseLabel(this), layout::LblFore, formFont(8.25));
    LblFore->setAutoFillBackground(true);
    colour(LblFore, QPalette::Window, kLightBlue);
    LblFore->setToolTip(QStringLiteral("Select the JPEG's quality"));
    for (MouseLabel* l : {LblBack, LblFore}) {
        l->setMouseTracking(true); // moves without a button refresh the caption too
        l->onMouse = [this](QMouseEvent* e) { sliderMouse(e); };
    }

    lbltutqual = label(new QLabel(QStringLiteral("Quality"), this), layout::lbltutqual,
                       formFont(12, true, true));
    LblQuality = label(new QLabel(QStringLiteral("100 %"), this), layout::LblQuality, formFont(12, true));

    Image1 = new QLabel(this);
    place(Image1, layout::Image1);
    Image1->setPixmap(pixmapOf(art::image1()));
    Image1->setScaledContents(true);
    Image2 = new QLabel(this);
    place(Image2, layout::Image2);
    Image2->setPixmap(pixmapOf(art::image2()));
    Image2->setScaledContents(true);

    const QFont pathFont = formFont(9.75, true);
    LblSrc = label(new QLabel(QStringLiteral("Half-Life Directory"), this), layout::LblSrc, pathFont);
    LblDest = label(new QLabel(QStringLiteral("Output Directory"), this), layout::LblDest, pathFont);
    for (QLabel* heading : {LblSrc, LblDest}) {
        heading->setAlignment(Qt::AlignCenter);
        heading->hide();
    }
    lblInPath = label(new MouseLabel(QStringLiteral("C:\\"), this), layout::lblInPath, pathFont);
    lblOutPath = label(new MouseLabel(this), layout::lblOutPath, pathFont);
    lblInPath->onDoubleClick = [this] { lblInPath_DblClick(); };
    lblOutPath->onDoubleClick = [this] { lblOutPath_DblClick(); };

    const QFont urlFont = formFont(9.75, true, true);
    LblURLQuenk = label(new MouseLabel(kMakersAddress, this), layout::LblURLQuenk, urlFont);
    lblURLSponso = label(new MouseLabel(kSponsorAddress, this), layout::lblURLSponso, urlFont);
    LblURLQuenk->onClick = [this] { LblURLQuenk_Click(); };
    lblURLSponso->onClick = [this] { lblURLSponso_Click(); };
    for (QLabel* url : {LblURLQuenk, lblURLSponso})
        url->setCursor(Qt::PointingHandCursor);

    CmdMin = button(art::Button::Min, layout::CmdMin, false, QStringLiteral("Reduce window"));
    CmdExit = button(art::Button::Exit, layout::CmdExit, true, QStringLiteral("Close"));
    CmdGo = button(art::Button::Go, layout::CmdGo, true, QStringLiteral("Convert ScreenShots into JPEGs"));
    CmdGo->setFont(formFont(8.25, true));
    CmdOutPath = button(art::Button::OutPath, layout::CmdOutPath, false,
                        QStringLiteral("Select OutPut directory"));
    CmdInPath = button(art::Button::InPath, layout::CmdInPath, false,
                       QStringLiteral("Select Input Directory"));
    CmdAbout = button(art::Button::About, layout::CmdAbout, false, QString());
    connect(CmdMin, &QAbstractButton::clicked, this, [this] { CmdMin_Click(); });
    connect(CmdExit, &QAbstractButton::clicked, this, [this] { CmdExit_Click(); });
    connect(CmdGo, &QAbstractButton::clicked, this, [this] { CmdGo_Click(); });
    connect(CmdOutPath, &QAbstractButton::clicked, this, [this] { CmdOutPath_Click(); });
    connect(CmdInPath, &QAbstractButton::clicked, this, [this] { CmdInPath_Click(); });
    connect(CmdAbout, &QAbstractButton::clicked, this, [this] { CmdAbout_Click(); });

    chkDel = new WrapCheckBox(QStringLiteral("Delete ScreensShots after conversion"), this);
    place(chkDel, layout::chkDel);
    chkDel->setFont(formFont(9.75));
    chkDel->setToolTip(QStringLiteral("Delete originals screenshots after conversion"));
    chkDel->setAutoFillBackground(true);
    chkDel->setBackgroundRole(QPalette::Window);
    colour(chkDel, QPalette::Window, QColor(24, 24, 49));
    colour(chkDel, QPalette::WindowText, kLightBlue);
    colour(chkDel, QPalette::Base, QColor(40, 40, 96));
    colour(chkDel, QPalette::Text, kLightBlue);

    auto darkList = [&](QListWidget* list, const layout::TwipRect& r) {
        place(list, r);
        list->setFont(formFont(8.25));
        list->setFrameShape(QFrame::NoFrame);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QPalette pal = list->palette();
        pal.setColor(QPalette::All, QPalette::Base, Qt::black);
        pal.setColor(QPalette::All, QPalette::Text, kLightBlue);
        pal.setColor(QPalette::All, QPalette::Highlight, QColor(48, 48, 150));
        pal.setColor(QPalette::All, QPalette::HighlightedText, Qt::white);
        // The scroll bar, when the lines outgrow the box, in the skin's blues.
        pal.setColor(QPalette::All, QPalette::Button, QColor(36, 40, 110));
        pal.setColor(QPalette::All, QPalette::Window, QColor(10, 10, 30));
        list->setPalette(pal);
    };
    FileList = new FileListBox(this);
    darkList(FileList, layout::FileList);
    FileList->setToolTip(QStringLiteral("BMP files in the input directory"));
    connect(FileList, &QListWidget::currentRowChanged, this, [this] { FileList_Click(); });
    connect(FileList, &QListWidget::itemDoubleClicked, this, [this] { FileList_DblClick(); });

    Lstinfo = new QListWidget(this);
    darkList(Lstinfo, layout::Lstinfo);
    Lstinfo->setFocusPolicy(Qt::NoFocus);

    ImgPreview = new ImageBox(this);
    place(ImgPreview, layout::ImgPreview);
    ImgPreview->setToolTip(QStringLiteral("Preview Screen"));
    colour(ImgPreview, QPalette::WindowText, QColor(96, 104, 210));
    ImgPreview->onDoubleClick = [this] { ImgPreview_DblClick(); };
}

bool FrmMain::Form_Load()
{
    // 1-2. The skin lies beside the program.
    picMainSkin->move(0, 0);
    const QString programDir = mFileOp::FormatPath(m_services.programDir);
    const QString skinPath = programDir + QStringLiteral("skin.bmp");

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
    picMainSkin->setPixmap(pixmapOf(skin));
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

    m_background = skin.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = m_background.pixel(0, 0);
    for (int y = 0; y < m_background.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(m_background.scanLine(y));
        for (int x = 0; x < m_background.width(); ++x) {
            if (row[x] == key)
                row[x] = 0;
        }
    }
}

void FrmMain::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (m_background.isNull())
        p.fillRect(rect(), QColor(18, 22, 66));
    else
        p.drawImage(0, 0, m_background);
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

// ---- Settings and detection ----------------------------------------------

bool FrmMain::LoadSettings()
{
    QSettings store(m_services.settingsFile, QSettings::IniFormat);
    store.beginGroup(kSettingsSection);
    InputPath = store.value(QStringLiteral("InputPath")).toString();
    if (!InputPath.isEmpty()) {
        OutputPath = store.value(QStringLiteral("OutputPath")).toString();
        // Hand-edited values are brought back into range: a quality
        // between 0 and 100, and deleting only on an explicit 1.
        SetQuality(std::clamp(NumberAtStart(store.value(QStringLiteral("Quality")).toString()), 0, 100));
        chkDel->setChecked(NumberAtStart(store.value(QStringLiteral("Del")).toString()) == 1);
    }
    const bool inputExists = CheckDir(InputPath);
    const bool outputExists = CheckDir(OutputPath);
    return inputExists && outputExists;
}

void FrmMain::SaveSettings()
{
    QSettings store(m_services.settingsFile, QSettings::IniFormat);
    store.beginGroup(kSettingsSection);
    store.setValue(QStringLiteral("InputPath"), InputPath);
    store.setValue(QStringLiteral("OutputPath"), OutputPath);
    store.setValue(QStringLiteral("Quality"), QString::number(NumberAtStart(LblQuality->text())));
    store.setValue(QStringLiteral("Del"), QString::number(chkDel->isChecked() ? 1 : 0));
    store.endGroup();
    store.sync(); // the program may end right after this
}

void FrmMain::ApplyDefaultSettings()
{
#ifdef Q_OS_WIN
    OutputPath = QStringLiteral("C:\\CS_JPEG\\");
    const auto readRegistry = [](const QString& key, const QString& value) {
        return MdlRegAll::ReadRegString(MdlRegAll::RegRoot::LocalMachine, key, value);
    };
#else
    // The game's own default places, translated: the output goes into the
    // user's pictures, the game is looked for in Wine and in Steam.
    OutputPath = m_services.picturesDir + QStringLiteral("/CS_JPEG/");
    const QString prefix = m_services.winePrefix;
    const auto readRegistry = [prefix](const QString& key, const QString& value) {
        return MdlRegAll::ReadRegString(prefix, MdlRegAll::RegRoot::LocalMachine, key, value);
    };
#endif
    InputPath = readRegistry(kSierraKey, QStringLiteral("Directory"));
    if (CheckDir(InputPath))
        return;
    InputPath = readRegistry(kAppPathsKey, QStringLiteral("Path"));
#ifndef Q_OS_WIN
    if (InputPath.isEmpty())
        InputPath = SteamLibrary::FindHalfLifeScreenshots(m_services.home);
#endif
    if (CheckDir(InputPath))
        return;
#ifdef Q_OS_WIN
    InputPath = QStringLiteral("C:\\Sierra\\Half-Life\\");
#else
    InputPath = MdlRegAll::MapWinePath(prefix, QStringLiteral("C:\\Sierra\\Half-Life\\"));
#endif
    SetQuality(90);
}

bool FrmMain::CheckDir(const QString& path) const
{
    return mFileOp::DirExists(path);
}

// ---- Quality slider --------------------------------------------------------

void FrmMain::SetQuality(int value)
{
    const double twips = LblBack->width() * kTwipsPerPixel * static_cast<double>(value) / 100.0;
    // The window system keeps widths in whole pixels; that width counts.
    LblFore->resize(static_cast<int>(std::lround(twips / kTwipsPerPixel)), LblFore->height());
    refreshQualityCaption();
}

void FrmMain::DragQuality(int button, float x)
{
    if (button != 0) {
        const float track = static_cast<float>(LblBack->width() * kTwipsPerPixel);
        if (x >= 0 && x <= track)
            LblFore->resize(static_cast<int>(std::lround(x / kTwipsPerPixel)), LblFore->height());
    }
    refreshQualityCaption();
}

void FrmMain::refreshQualityCaption()
{
    const double ratio = static_cast<double>(LblFore->width()) / LblBack->width() * 100.0;
    const auto value = static_cast<qint16>(std::nearbyint(ratio)); // halves to even
    LblQuality->setText(QStringLiteral("%1 %").arg(value, 2, 10, QLatin1Char('0')));
}

void FrmMain::sliderMouse(QMouseEvent* event)
{
    if (!ControlsEnabled)
        return;
    // A press or a release names its button; a move reports the buttons held.
    const int button = event->type() == QEvent::MouseMove ? static_cast<int>(event->buttons())
                                                          : static_cast<int>(event->button());
    DragQuality(button, static_cast<float>(event->position().x() * kTwipsPerPixel));
}

// ---- Folders -------------------------------------------------------------

void FrmMain::ShowPathHeadings()
{
    LblSrc->show();
    LblDest->show();
    lblInPath->hide();
    lblOutPath->hide();
}

void FrmMain::ShowPathValues()
{
    LblSrc->hide();
    LblDest->hide();
    lblInPath->show();
    lblOutPath->show();
}

void FrmMain::CmdInPath_Click()
{
    ShowPathHeadings();
    const QString result = m_services.browseFolder(InputPath, QStringLiteral("HALF-LIFE directory"));
    if (!result.isEmpty())
        InputPath = mFileOp::FormatPath(result);
    lblInPath->setText(InputPath.toUpper());
    FileList->setPath(InputPath); // re-read even when the picker was cancelled
    ShowPathValues();
}

void FrmMain::CmdOutPath_Click()
{
    ShowPathHeadings();
    const QString result = m_services.browseFolder(OutputPath, QStringLiteral("Output directory"));
    if (!result.isEmpty())
        OutputPath = mFileOp::FormatPath(result);
    lblOutPath->setText(OutputPath.toUpper());
    ShowPathValues();
}

// The labels show the paths in capitals; a case-sensitive file system needs
// the path as it is, so the file manager gets the directory itself.
void FrmMain::lblInPath_DblClick() { m_services.openDirectory(InputPath); }
void FrmMain::lblOutPath_DblClick() { m_services.openDirectory(OutputPath); }

// ---- File list, preview and launches -------------------------------------

void FrmMain::FileList_Click()
{
    const QListWidgetItem* item = FileList->currentItem();
    if (!item)
        return;
    // A file that cannot be shown (damaged, or gone since the list was read)
    // leaves the preview as it was.
    try {
        const QImage image = PictureToImage(LoadPicture(InputPath + item->text()));
        if (!image.isNull())
            ImgPreview->setImage(image);
    } catch (const std::exception&) {
    }
}

void FrmMain::openSelectedBitmap()
{
    const QListWidgetItem* item = FileList->currentItem();
    if (item && FileList->currentRow() >= 0)
        m_services.openFile(InputPath + item->text());
}

void FrmMain::FileList_DblClick() { openSelectedBitmap(); }
void FrmMain::ImgPreview_DblClick() { openSelectedBitmap(); }

QString FrmMain::makersLine()
{
    return QStringLiteral("Framewright from Quenk ") + kNickname + QStringLiteral(" (") + kChatChannel
           + QStringLiteral(" @ ") + kChatNetwork + QStringLiteral(")");
}

QString FrmMain::viewerFileName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Kudoscope.exe");
#else
    return QStringLiteral("kudoscope");
#endif
}

void FrmMain::CmdAbout_Click()
{
    const QString viewer = mFileOp::FormatPath(m_services.programDir) + viewerFileName();
    if (!mFileOp::FileExists(viewer)) {
        m_services.message(makersLine(), MsgIcon::Information, kAppTitle);
        return;
    }
    m_services.startDetached(viewer);
}

void FrmMain::LblURLQuenk_Click() { m_services.openAddress(LblURLQuenk->text()); }
void FrmMain::lblURLSponso_Click() { m_services.openAddress(lblURLSponso->text()); }

void FrmMain::CmdMin_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

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
    FrmMainRunHost host(*this);
    RunConversion(host);
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
