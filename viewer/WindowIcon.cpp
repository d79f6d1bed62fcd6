#include "WindowIcon.h"

#include <QPainter>
#include <QPolygonF>

namespace {

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 4, 4);

    // A grey square seen at an angle, like the viewer's credits.
    const QPolygonF card({QPointF(6, 8), QPointF(24, 4), QPointF(27, 25), QPointF(8, 28)});
    QLinearGradient tint(card.at(0), card.at(2));
    tint.setColorAt(0, QColor(0xC0, 0xC0, 0xC0));
    tint.setColorAt(0.5, QColor(0xC0, 0x90, 0x90));
    tint.setColorAt(1, QColor(0x90, 0xC0, 0x90));
    p.setBrush(tint);
    p.drawPolygon(card);

    // Three lines of dark-blue "text".
    p.setPen(QPen(QColor(0x00, 0x00, 0x77), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 11 + 5.5 * i;
        p.drawLine(QPointF(9 + 0.3 * i, y), QPointF(20 - 2 * i, y - 3.5 + 0.3 * i));
    }
    return pixmap;
}

} // namespace

QIcon kudoscopeIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addPixmap(drawIcon(size));
    return icon;
}
