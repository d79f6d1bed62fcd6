#include "SkinArt.h"

#include "ButtonArt.h"
#include "FrmMainLayout.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace art {

namespace {

const QColor kLightBlue(128, 128, 255);
const QColor kPanel(24, 24, 49);
const QColor kEdgeLight(96, 104, 210);
const QColor kEdgeDark(4, 4, 16);

QFont artFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// The window's outline: a rounded body with a notch under the Convert button.
QPainterPath outline()
{
    QPainterPath body;
    body.addRoundedRect(QRectF(3, 3, layout::kSkinWidth - 6, layout::kSkinHeight - 6), 22, 22);
    QPainterPath notch;
    notch.addRoundedRect(QRectF(212, 446, 180, 40), 12, 12);
    QPainterPath tab; // a raised tab that carries the window's buttons
    tab.addRoundedRect(QRectF(534, 3, 100, 60), 14, 14);
    return body.subtracted(notch).united(tab);
}

// A sunken panel with a dark top-left and a light bottom-right edge.
void sunken(QPainter& p, const QPainterPath& shape, const QColor& fill)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kEdgeDark);
    p.drawPath(shape.translated(-1, -1));
    p.setBrush(kEdgeLight.darker(150));
    p.drawPath(shape.translated(1, 1));
    p.setBrush(fill);
    p.drawPath(shape);
}

QPainterPath rounded(const QRectF& r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

void sunken(QPainter& p, const QRectF& r, qreal radius, const QColor& fill) { sunken(p, rounded(r, radius), fill); }

void heading(QPainter& p, const QRect& r, const QString& text)
{
    p.setFont(artFont(11, true));
    p.setPen(kLightBlue.darker(115));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
}

void frameAround(QPainter& p, const QRect& control)
{
    sunken(p, QRectF(control).adjusted(-4, -4, 4, 4), 5, QColor(6, 6, 20));
}

// Hard edge, no antialiasing, so that exactly two kinds of pixel exist at
// the outline: the key colour outside and the body inside.
QImage keyOutside(const QImage& argb)
{
    QImage out(argb.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(argb.devicePixelRatio());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb px = src[x];
            if (qAlpha(px) < 128) {
                dst[x] = kSkinKey;
            } else {
                // Un-premultiply what the antialiased edge left half covered.
                const int a = qAlpha(px);
                QRgb c = qRgb(qRed(px) * 255 / a, qGreen(px) * 255 / a, qBlue(px) * 255 / a);
                if (c == kSkinKey) // never let an inside pixel take the key colour
                    c = qRgb(254, 0, 255);
                dst[x] = c;
            }
        }
    }
    return out;
}

// A skin drawn at a scale, cut to the outline of the 1x skin: a device
// pixel is outside exactly where its 1x pixel is; where the finer drawing
// left an inside pixel outside, it takes its 1x pixel's colour.
QImage withOutlineOf(QImage fine, const QImage& coarse, int scale)
{
    for (int y = 0; y < fine.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(fine.scanLine(y));
        const auto* coarseRow = reinterpret_cast<const QRgb*>(coarse.constScanLine(y / scale));
        for (int x = 0; x < fine.width(); ++x) {
            const QRgb c = coarseRow[x / scale];
            if (c == kSkinKey || row[x] == kSkinKey)
                row[x] = c;
        }
    }
    return fine;
}

} // namespace

QImage skin(int scale)
{
    QImage img = canvas(QSize(layout::kSkinWidth, layout::kSkinHeight), scale);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    const QPainterPath shape = outline();
    QLinearGradient body(0, 0, 0, layout::kSkinHeight);
    body.setColorAt(0.0, QColor(30, 38, 104));
    body.setColorAt(0.45, QColor(18, 22, 66));
    body.setColorAt(1.0, QColor(10, 12, 38));
    p.fillPath(shape, body);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kEdgeDark, 3));
    p.drawPath(shape);
    p.setPen(QPen(kEdgeLight, 1.5));
    p.drawPath(shape);

    // A faint diagonal sheen across the upper half.
    QLinearGradient sheen(0, 0, 260, 300);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 30));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(shape, sheen);

    // The progress bar's groove and the program's badge at the top left.
    sunken(p, QRectF(96, 14, 440, 37), 18, QColor(10, 10, 30));
    const QImage badge = windowIcon(32 * scale);
    p.drawImage(QRect(34, 16, 32, 32), badge);

    // Directories.
    sunken(p, QRectF(14, 64, 404, 70), 8, kPanel);
    // Quality and the delete option, stepping round the progress list.
    sunken(p, rounded(QRectF(14, 138, 404, 50), 8).united(rounded(QRectF(206, 150, 212, 80), 8)), kPanel);

    // The file list and the preview, each under its heading.
    heading(p, QRect(428, 62, 190, 18), QStringLiteral("Screenshots"));
    frameAround(p, layout::FileList.pixels());
    heading(p, QRect(416, 262, 200, 18), QStringLiteral("Preview"));
    frameAround(p, layout::ImgPreview.pixels());
    frameAround(p, layout::Lstinfo.pixels());

    // A glowing pedestal under the Convert button.
    const QRectF go = QRectF(layout::CmdGo.pixels());
    QRadialGradient glow(go.center(), go.width() * 0.62);
    glow.setColorAt(0.0, QColor(90, 100, 255, 110));
    glow.setColorAt(0.7, QColor(60, 70, 200, 40));
    glow.setColorAt(1.0, QColor(60, 70, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(go.center(), go.width() * 0.62, go.height() * 0.58);

    // The product's name between the web addresses and the Convert button.
    QFont title = artFont(19, true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(title);
    const QRect titleRect(200, 270, 204, 30);
    p.setPen(QColor(0, 0, 20));
    p.drawText(titleRect.translated(1, 2), Qt::AlignCenter, QStringLiteral("FRAMEWRIGHT"));
    p.setPen(QColor(170, 176, 255));
    p.drawText(titleRect, Qt::AlignCenter, QStringLiteral("FRAMEWRIGHT"));
    p.end();

    if (scale == 1)
        return keyOutside(img);
    return withOutlineOf(keyOutside(img), skin(1), scale);
}

namespace {

QImage blank(QSize size, int scale = 1)
{
    QImage img = canvas(size, scale);
    img.fill(Qt::transparent);
    return img;
}

// A rounded face with a bevel that sinks when pressed.
void bevelFace(QPainter& p, const QRectF& r, qreal radius, Face face, const QColor& base)
{
    const QColor top = face == Face::Disabled  ? QColor(40, 40, 60)
                       : face == Face::Pressed ? base.darker(160)
                                               : base.lighter(150);
    const QColor bottom = face == Face::Disabled  ? QColor(24, 24, 36)
                          : face == Face::Pressed ? base.lighter(120)
                                                  : base.darker(150);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(face == Face::Pressed ? kEdgeLight : kEdgeDark, 1.5));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(face == Face::Pressed ? kEdgeDark : QColor(170, 176, 255, 150), 1));
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
}

QColor ink(Face face)
{
    return face == Face::Disabled  ? QColor(80, 80, 120)
           : face == Face::Pressed ? QColor(255, 255, 255)
                                   : kLightBlue.lighter(120);
}

QImage minimiseFace(Face face, int scale)
{
    const QSize size = layout::CmdMin.pixels().size();
    QImage img = blank(size, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    bevelFace(p, r, 4, face, QColor(24, 30, 90));
    const qreal d = face == Face::Pressed ? 1 : 0;
    p.setPen(QPen(ink(face), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11 + d, 17 + d), QPointF(size.width() - 11 + d, 17 + d));
    return img;
}

// A folder with a word on it: IN for the screenshots, OUT for the JPEGs.
QImage folderFace(Button button, Face face, int scale)
{
    const bool input = button == Button::InPath;
    const QSize size = (input ? layout::CmdInPath : layout::CmdOutPath).pixels().size();
    QImage img = canvas(size, scale);
    img.fill(input ? QColor(Qt::black) : QColor(Qt::transparent));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 1, size.width() - 2.0, size.height() - 2.0);
    bevelFace(p, r, 7, face, QColor(20, 26, 80));

    const qreal d = face == Face::Pressed ? 1 : 0;
    const QRectF folder(12 + d, 10 + d, size.width() - 24.0, size.height() - 24.0);
    QPainterPath path;
    path.moveTo(folder.left(), folder.top() + 4);
    path.lineTo(folder.left() + 14, folder.top() + 4);
    path.lineTo(folder.left() + 18, folder.top() + 8);
    path.lineTo(folder.right(), folder.top() + 8);
    path.lineTo(folder.right(), folder.bottom());
    path.lineTo(folder.left(), folder.bottom());
    path.closeSubpath();
    const QColor c = ink(face);
    p.setPen(QPen(c, 1.5));
    QColor fill = c;
    fill.setAlpha(70);
    p.setBrush(fill);
    p.drawPath(path);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(folder.adjusted(0, 8, 0, 0), Qt::AlignCenter, input ? QStringLiteral("IN") : QStringLiteral("OUT"));
    return img;
}

QImage goFace(Face face, int scale)
{
    const QSize size = layout::CmdGo.pixels().size();
    QImage img = blank(size, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(8, 6, size.width() - 16.0, size.height() - 12.0);
    const QColor base = face == Face::Disabled ? QColor(36, 36, 52) : QColor(40, 54, 170);
    QRadialGradient g(r.center() - QPointF(0, r.height() * 0.25), r.width() * 0.7);
    g.setColorAt(0, face == Face::Pressed ? base.darker(130) : base.lighter(170));
    g.setColorAt(1, face == Face::Pressed ? base.lighter(110) : base.darker(170));
    p.setPen(QPen(kEdgeDark, 3));
    p.setBrush(g);
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(face == Face::Disabled ? QColor(60, 60, 90) : QColor(150, 160, 255), 2));
    p.drawEllipse(r.adjusted(4, 4, -4, -4));

    const qreal d = face == Face::Pressed ? 2 : 0;
    const QColor c = face == Face::Disabled ? QColor(90, 90, 130) : QColor(235, 238, 255);
    // An arrow from a bitmap to a JPEG.
    const QPointF mid = r.center() + QPointF(d, d - 14);
    p.setPen(QPen(c, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(mid + QPointF(-26, 0), mid + QPointF(22, 0));
    p.drawLine(mid + QPointF(10, -11), mid + QPointF(24, 0));
    p.drawLine(mid + QPointF(10, 11), mid + QPointF(24, 0));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(16);
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(f);
    p.drawText(QRectF(r.left() + d, mid.y() + 12, r.width(), 24), Qt::AlignCenter, QStringLiteral("CONVERT"));
    return img;
}

// One picture: the button shows no pressed face.
QImage aboutFace(int scale)
{
    const QSize size = layout::CmdAbout.pixels().size();
    QImage img = blank(size, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1.5, 1.5, size.width() - 3.0, size.height() - 3.0);
    QRadialGradient g(r.center() - QPointF(4, 6), r.width() * 0.7);
    const QColor base(36, 46, 150);
    g.setColorAt(0, base.lighter(170));
    g.setColorAt(1, base.darker(170));
    p.setPen(QPen(kEdgeDark, 1.5));
    p.setBrush(g);
    p.drawEllipse(r);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.setPen(ink(Face::Normal));
    p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
    return img;
}

// A small arrow in a disc, pointing at the path label it stands beside.
QImage bullet(bool pointRight, int scale)
{
    QImage img = blank(QSize(32, 32), scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(12, 11), 20);
    g.setColorAt(0, QColor(150, 150, 255));
    g.setColorAt(1, QColor(40, 44, 140));
    p.setPen(QPen(kEdgeDark, 2));
    p.setBrush(g);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    QPolygonF arrow;
    if (pointRight)
        arrow << QPointF(12, 8) << QPointF(24, 16) << QPointF(12, 24);
    else
        arrow << QPointF(20, 8) << QPointF(8, 16) << QPointF(20, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 242, 255));
    p.drawPolygon(arrow);
    return img;
}

} // namespace

QImage buttonFace(Button button, Face face, int scale)
{
    switch (button) {
    case Button::Min: return minimiseFace(face, scale);
    case Button::Exit:
        return face == Face::Normal    ? exitNormal(scale)
               : face == Face::Pressed ? exitPressed(scale)
                                       : exitDisabled(scale);
    case Button::Go: return goFace(face, scale);
    case Button::InPath:
    case Button::OutPath: return folderFace(button, face, scale);
    case Button::About: return aboutFace(scale);
    }
    return {};
}

QImage image1(int scale) { return bullet(true, scale); }
QImage image2(int scale) { return bullet(false, scale); }

QImage windowIcon(int size)
{
    QImage img = blank(QSize(size, size));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // A dark-blue tile with a light frame corner and a bold F.
    p.setPen(QPen(QColor(4, 4, 16), 1.5));
    p.setBrush(QColor(24, 30, 100));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setPen(QPen(kLightBlue, 2.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF{QPointF(5, 13), QPointF(5, 5), QPointF(13, 5)});
    p.drawPolyline(QPolygonF{QPointF(27, 19), QPointF(27, 27), QPointF(19, 27)});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 238, 255));
    p.drawRect(QRectF(11, 8, 4, 17));
    p.drawRect(QRectF(11, 8, 11, 4));
    p.drawRect(QRectF(11, 15, 8, 3.5));
    p.end();
    if (size != 32)
        return img;
    // The classic 16-colour icon: reduce to a small fixed palette, keeping
    // one fully transparent entry for the corners.
    QList<QRgb> palette{qRgba(0, 0, 0, 0),   qRgb(4, 4, 16),      qRgb(24, 30, 100),   qRgb(48, 56, 150),
                        qRgb(80, 84, 200),   qRgb(128, 128, 255), qRgb(180, 182, 255), qRgb(235, 238, 255),
                        qRgb(14, 16, 56),    qRgb(64, 64, 128),   qRgb(100, 104, 228), qRgb(200, 204, 255),
                        qRgb(255, 255, 255), qRgb(36, 40, 120),   qRgb(150, 150, 240), qRgb(8, 8, 32)};
    return img.convertToFormat(QImage::Format_ARGB32)
        .convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace art
