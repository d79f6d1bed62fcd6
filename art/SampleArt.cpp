#include "SampleArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

namespace art {

namespace {

struct Palette {
    QColor skyTop, skyBottom, floorNear, floorFar, wall, crate;
};

const Palette kScenes[] = {
    // Labs: grey-blue corridors under cold light.
    {QColor(40, 46, 60), QColor(90, 100, 116), QColor(70, 72, 78), QColor(120, 124, 130), QColor(128, 134, 146),
     QColor(150, 120, 70)},
    // Outdoors: a hot sky over a sandy canyon.
    {QColor(70, 120, 200), QColor(200, 200, 190), QColor(150, 112, 70), QColor(196, 170, 120), QColor(170, 120, 80),
     QColor(120, 100, 60)},
    // Deep below: green slime light and dark rock.
    {QColor(10, 20, 16), QColor(40, 70, 50), QColor(30, 36, 30), QColor(60, 80, 60), QColor(70, 80, 70),
     QColor(90, 110, 60)},
};

void drawWorld(QPainter& p, QSize size, const Palette& pal, QRandomGenerator& rng)
{
    const int w = size.width();
    const int h = size.height();
    const int horizon = h * 45 / 100;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, pal.skyTop);
    sky.setColorAt(1, pal.skyBottom);
    p.fillRect(0, 0, w, horizon, sky);

    QLinearGradient floor(0, horizon, 0, h);
    floor.setColorAt(0, pal.floorFar);
    floor.setColorAt(1, pal.floorNear);
    p.fillRect(0, horizon, w, h - horizon, floor);

    // Perspective lines of the floor tiles towards a vanishing point.
    const QPointF vanish(w * 0.5, horizon);
    p.setPen(QPen(pal.floorNear.darker(130), 1));
    for (int i = -12; i <= 12; ++i)
        p.drawLine(vanish, QPointF(w * 0.5 + i * w / 8.0, h));
    for (int i = 1; i <= 10; ++i) {
        const qreal y = horizon + (h - horizon) * (i * i) / 100.0;
        p.drawLine(QPointF(0, y), QPointF(w, y));
    }

    // Side walls.
    QPolygonF left{QPointF(0, 0), QPointF(w * 0.22, horizon * 0.55), QPointF(w * 0.22, horizon * 1.25),
                   QPointF(0, h * 0.92)};
    QPolygonF right{QPointF(w, 0), QPointF(w * 0.78, horizon * 0.55), QPointF(w * 0.78, horizon * 1.25),
                    QPointF(w, h * 0.92)};
    p.setPen(Qt::NoPen);
    p.setBrush(pal.wall.darker(120));
    p.drawPolygon(left);
    p.setBrush(pal.wall.darker(150));
    p.drawPolygon(right);

    // A few crates, nearer ones larger.
    for (int i = 0; i < 5; ++i) {
        const qreal depth = 0.25 + rng.bounded(70) / 100.0;
        const qreal side = h * 0.22 * depth;
        const qreal x = w * (0.28 + rng.bounded(44) / 100.0);
        const qreal y = horizon + (h - horizon) * depth * depth - side;
        const QRectF front(x, y, side, side);
        p.setBrush(pal.crate.darker(100 + rng.bounded(40)));
        p.setPen(QPen(pal.crate.darker(200), 2));
        p.drawRect(front);
        p.drawLine(front.topLeft(), front.bottomRight());
        p.drawLine(front.topRight(), front.bottomLeft());
    }

    // Lights along the ceiling.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        QRadialGradient lamp(QPointF(w * (0.3 + i * 0.13), horizon * 0.25), w * 0.06);
        lamp.setColorAt(0, QColor(255, 250, 220, 200));
        lamp.setColorAt(1, QColor(255, 250, 220, 0));
        p.setBrush(lamp);
        p.drawEllipse(lamp.center(), w * 0.06, w * 0.03);
    }
}

// The HUD in the game's amber: health and suit bottom left, ammunition
// bottom right, a crosshair in the middle.
void drawHud(QPainter& p, QSize size, QRandomGenerator& rng)
{
    const int w = size.width();
    const int h = size.height();
    const QColor amber(255, 160, 0, 220);
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setPixelSize(h / 16);
    f.setBold(true);
    p.setFont(f);
    p.setPen(amber);
    p.setBrush(amber);

    const int base = h - h / 40;
    const qreal unit = h / 48.0;
    // Health cross.
    const QPointF c(w / 40.0 + unit * 2, base - unit * 2);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(c.x() - unit * 0.6, c.y() - unit * 2, unit * 1.2, unit * 4));
    p.drawRect(QRectF(c.x() - unit * 2, c.y() - unit * 0.6, unit * 4, unit * 1.2));
    p.setPen(amber);
    p.drawText(QPointF(c.x() + unit * 3, base), QString::number(40 + rng.bounded(61)));
    p.drawText(QPointF(w * 0.22, base), QString::number(rng.bounded(101)));
    p.drawText(QPointF(w * 0.76, base), QStringLiteral("%1 | %2").arg(rng.bounded(18)).arg(rng.bounded(250)));

    // Crosshair.
    const QPointF m(w / 2.0, h / 2.0);
    p.setPen(QPen(QColor(255, 180, 40), qMax(1, h / 300)));
    const qreal g = h / 80.0;
    const qreal l = h / 40.0;
    p.drawLine(m + QPointF(-g - l, 0), m + QPointF(-g, 0));
    p.drawLine(m + QPointF(g, 0), m + QPointF(g + l, 0));
    p.drawLine(m + QPointF(0, -g - l), m + QPointF(0, -g));
    p.drawLine(m + QPointF(0, g), m + QPointF(0, g + l));
}

} // namespace

std::vector<SampleShot> sampleShots()
{
    return {
        {QStringLiteral("c1a00000.bmp"), QSize(640, 480), 0},
        {QStringLiteral("c1a00001.bmp"), QSize(800, 600), 0},
        {QStringLiteral("c2a50000.bmp"), QSize(1024, 768), 1},
        {QStringLiteral("c4a10000.bmp"), QSize(800, 600), 2},
    };
}

QImage sampleScreenshot(const SampleShot& shot)
{
    QImage img(shot.size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Seeded by the name, so every build draws the same pictures.
    QRandomGenerator rng(static_cast<quint32>(qHash(shot.fileName, 7)));
    const Palette& pal = kScenes[shot.scene % std::size(kScenes)];
    drawWorld(p, shot.size, pal, rng);
    drawHud(p, shot.size, rng);
    p.end();
    return img.convertToFormat(QImage::Format_RGB888);
}

} // namespace art
