#include "ButtonArt.h"

#include <QPainter>
#include <QPainterPath>

namespace art {

namespace {

const QColor kDarkBlue(16, 20, 64);
const QColor kLightBlue(128, 128, 255);

enum class Face { Normal, Pressed, Disabled };

QImage cross(QSize size, Face face, int scale)
{
    QImage img = canvas(size, scale, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF r(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    QLinearGradient ground(r.topLeft(), r.bottomLeft());
    ground.setColorAt(0, face == Face::Pressed ? kDarkBlue.darker(140) : kDarkBlue.lighter(160));
    ground.setColorAt(1, face == Face::Pressed ? kDarkBlue.lighter(130) : kDarkBlue.darker(130));
    p.fillRect(QRect(QPoint(0, 0), size), ground);

    // A bevel that sinks when the button is pressed.
    const QColor light = face == Face::Pressed ? QColor(8, 8, 24) : QColor(150, 150, 230);
    const QColor dark = face == Face::Pressed ? QColor(150, 150, 230) : QColor(8, 8, 24);
    p.setPen(QPen(light, 1));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QPen(dark, 1));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());

    const QColor ink = face == Face::Disabled  ? QColor(70, 70, 110)
                       : face == Face::Pressed ? QColor(255, 255, 255)
                                               : kLightBlue;
    const qreal offset = face == Face::Pressed ? 1.0 : 0.0;
    const qreal h = size.height() * 0.28;
    const QPointF c(size.width() / 2.0 + offset, size.height() / 2.0 + offset);
    p.setPen(QPen(ink, qMax(2.0, size.height() / 8.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-h, -h), c + QPointF(h, h));
    p.drawLine(c + QPointF(-h, h), c + QPointF(h, -h));
    return img;
}

} // namespace

QImage exitNormal(int scale) { return cross(kExitFaceSize, Face::Normal, scale); }
QImage exitPressed(int scale) { return cross(kExitFaceSize, Face::Pressed, scale); }
QImage exitDisabled(int scale) { return cross(kExitFaceSize, Face::Disabled, scale); }

} // namespace art
