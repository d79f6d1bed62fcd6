// FrmMain's controls: where each sits on the skin, how it looks and which
// handler it calls. The places come from FrmMainLayout.h, which the skin's
// artwork is drawn around.
#include "window/FrmMain.h"

#include "ButtonArt.h"
#include "FrmMainLayout.h"
#include "Makers.h"
#include "SkinArt.h"
#include "window/ControlLook.h"
#include "window/QualitySlider.h"
#include "window/controls/FileListBox.h"
#include "window/controls/ImageBox.h"
#include "window/controls/LineControl.h"
#include "window/controls/PathLabel.h"
#include "window/controls/PictureButton.h"
#include "window/controls/ShapeControl.h"
#include "window/controls/WrapCheckBox.h"

#include <utility>

namespace {

using look::colour;
using look::formFont;
using look::kLightBlue;
using look::label;
using look::place;

// The pictures a button shows, as its row of the layout table lists them.
enum class Faces { NormalPressed, NormalPressedDisabled, One };

PictureButton* button(QWidget* parent, art::Button id, const layout::TwipRect& r, Faces faces, const QString& tip)
{
    const auto face = [id](art::Face f) {
        return ScaledPicture([id, f](int scale) { return art::buttonFace(id, f, scale); });
    };
    const ScaledPicture normal = face(art::Face::Normal);
    auto* b = new PictureButton(parent, normal, faces == Faces::One ? normal : face(art::Face::Pressed),
                                faces == Faces::NormalPressedDisabled ? face(art::Face::Disabled) : ScaledPicture());
    place(b, r);
    b->setToolTip(tip);
    return b;
}

// The two lists: light blue on black, with a scroll bar in the skin's blues.
void darkList(QListWidget* list, const layout::TwipRect& r)
{
    place(list, r);
    list->setFont(formFont(8.25));
    list->setFrameShape(QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded); // for names wider than the list
    QPalette pal = list->palette();
    pal.setColor(QPalette::All, QPalette::Base, Qt::black);
    pal.setColor(QPalette::All, QPalette::Text, kLightBlue);
    pal.setColor(QPalette::All, QPalette::Highlight, QColor(48, 48, 150));
    pal.setColor(QPalette::All, QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::All, QPalette::Button, QColor(36, 40, 110));
    pal.setColor(QPalette::All, QPalette::Window, QColor(10, 10, 30));
    list->setPalette(pal);
}

// Stretched to its place from the bitmap drawn at the scale of the screen.
QLabel* picture(QWidget* parent, const layout::TwipRect& r, QImage (*draw)(int scale))
{
    auto* l = new QLabel(parent);
    place(l, r);
    l->setPixmap(QPixmap::fromImage(draw(art::scaleFor(l->devicePixelRatioF()))));
    l->setScaledContents(true);
    return l;
}

} // namespace

// Back to front: the outlines and bars first, the controls above them.
void FrmMain::buildControls()
{
    picMainSkin = new QLabel(this);
    picMainSkin->setAttribute(Qt::WA_TransparentForMouseEvents); // presses reach the window

    LBlack = new LineControl(this, Qt::black, layout::LBlack.thicknessPx, layout::LBlack.x1, layout::LBlack.x2,
                             layout::LBlack.y);
    LBack = new LineControl(this, QColor(64, 64, 64), layout::LBack.thicknessPx, layout::LBack.x1, layout::LBack.x2,
                            layout::LBack.y);
    LFore = new LineControl(this, kLightBlue, layout::LFore.thicknessPx, layout::LFore.x1, layout::LFore.x2,
                            layout::LFore.y);

    SFrame = new ShapeControl(this, kLightBlue.darker(130));
    place(SFrame, layout::SFrame);
    m_slider = new QualitySlider(this, [this] { return ControlsEnabled; });
    Image1 = picture(this, layout::Image1, art::image1);
    Image2 = picture(this, layout::Image2, art::image2);
    buildLabels();
    buildButtons();
    buildLists();

    const std::pair<QWidget*, const char*> names[] = {
        {picMainSkin, "picMainSkin"},
        {LBlack, "LBlack"},
        {LBack, "LBack"},
        {LFore, "LFore"},
        {SFrame, "SFrame"},
        {Image1, "Image1"},
        {Image2, "Image2"},
        {LblSrc, "LblSrc"},
        {LblDest, "LblDest"},
        {lblInPath, "lblInPath"},
        {lblOutPath, "lblOutPath"},
        {LblURLQuenk, "LblURLQuenk"},
        {lblURLSponso, "lblURLSponso"},
        {CmdMin, "CmdMin"},
        {CmdExit, "CmdExit"},
        {CmdGo, "CmdGo"},
        {CmdOutPath, "CmdOutPath"},
        {CmdInPath, "CmdInPath"},
        {CmdAbout, "CmdAbout"},
        {chkDel, "chkDel"},
        {FileList, "FileList"},
        {Lstinfo, "Lstinfo"},
        {ImgPreview, "ImgPreview"},
    };
    for (const auto& [control, name] : names)
        control->setObjectName(QLatin1String(name));
    describeControls();
    buildKeyboard();
}

void FrmMain::buildLabels()
{
    const QFont pathFont = formFont(9.75, true);
    LblSrc = label(new QLabel(QStringLiteral("Half-Life Directory"), this), layout::LblSrc, pathFont);
    LblDest = label(new QLabel(QStringLiteral("Output Directory"), this), layout::LblDest, pathFont);
    for (QLabel* heading : {LblSrc, LblDest}) {
        heading->setAlignment(Qt::AlignCenter);
        heading->hide();
    }
    lblInPath = label(new PathLabel(QStringLiteral("C:\\"), this), layout::lblInPath, pathFont);
    lblOutPath = label(new PathLabel(this), layout::lblOutPath, pathFont);
    lblInPath->onDoubleClick = [this] { lblInPath_DblClick(); };
    lblOutPath->onDoubleClick = [this] { lblOutPath_DblClick(); };

    const QFont urlFont = formFont(9.75, true, true);
    LblURLQuenk =
        label(new MouseLabel(QString::fromLatin1(makers::kMakersAddress), this), layout::LblURLQuenk, urlFont);
    lblURLSponso =
        label(new MouseLabel(QString::fromLatin1(makers::kSponsorAddress), this), layout::lblURLSponso, urlFont);
    LblURLQuenk->onClick = [this] { LblURLQuenk_Click(); };
    lblURLSponso->onClick = [this] { lblURLSponso_Click(); };
    for (QLabel* url : {LblURLQuenk, lblURLSponso})
        url->setCursor(Qt::PointingHandCursor);
}

void FrmMain::buildButtons()
{
    CmdMin = button(this, art::Button::Min, layout::CmdMin, Faces::NormalPressed, QStringLiteral("Reduce window"));
    CmdExit = button(this, art::Button::Exit, layout::CmdExit, Faces::NormalPressedDisabled, QStringLiteral("Close"));
    CmdGo = button(this, art::Button::Go, layout::CmdGo, Faces::NormalPressedDisabled,
                   QStringLiteral("Convert ScreenShots into JPEGs"));
    CmdGo->setFont(formFont(8.25, true));
    CmdOutPath = button(this, art::Button::OutPath, layout::CmdOutPath, Faces::NormalPressed,
                        QStringLiteral("Select OutPut directory"));
    CmdInPath = button(this, art::Button::InPath, layout::CmdInPath, Faces::NormalPressed,
                       QStringLiteral("Select Input Directory"));
    CmdAbout = button(this, art::Button::About, layout::CmdAbout, Faces::One, QStringLiteral("About Framewright"));
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
}

void FrmMain::buildLists()
{
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
