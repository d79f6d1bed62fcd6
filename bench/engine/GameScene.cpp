#include "GameScene.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Cheap deterministic value noise in [0, 1).
float hashNoise(int x, int y, unsigned seed)
{
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65536.0f;
}

float smoothNoise(float x, float y, unsigned seed)
{
    const int xi = static_cast<int>(std::floor(x));
    const int yi = static_cast<int>(std::floor(y));
    const float fx = x - xi;
    const float fy = y - yi;
    const float a = hashNoise(xi, yi, seed), b = hashNoise(xi + 1, yi, seed);
    const float c = hashNoise(xi, yi + 1, seed), d = hashNoise(xi + 1, yi + 1, seed);
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}

QRgb shade(float r, float g, float b, float light)
{
    const auto c = [light](float v) { return static_cast<int>(std::clamp(v * light, 0.0f, 255.0f)); };
    return qRgb(c(r), c(g), c(b));
}

} // namespace

QImage renderGameScene(QSize size, unsigned seed)
{
    const int w = size.width();
    const int h = size.height();
    QImage img(size, QImage::Format_RGB32);
    const float horizon = h * 0.42f;
    const float wallTop = h * 0.18f;
    const float cx = w / 2.0f;

    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const float grain = hashNoise(x, y, seed) * 0.25f + 0.85f;
            // Two walls meet in a corner left of the centre; the floor below.
            const float corner = w * (0.38f + 0.04f * std::sin(seed * 1.7f));
            const float wallBottom = horizon + (h * 0.25f) * (1.0f - std::abs(x - corner) / w);
            if (y < wallTop * (0.6f + 0.4f * std::abs(x - corner) / w)) {
                const float cloud =
                    smoothNoise(x / 40.0f, y / 20.0f, seed) * 0.6f + smoothNoise(x / 9.0f, y / 6.0f, seed + 1) * 0.4f;
                line[x] = shade(90 + 120 * cloud, 110 + 110 * cloud, 150 + 90 * cloud, 1.0f);
            } else if (y < wallBottom) {
                // Bricks with mortar lines and dirt.
                const float u = (x < corner ? corner - x : x - corner) / (w * 0.03f);
                const float v = (y - wallTop) / (h * 0.025f);
                const bool mortar =
                    std::fmod(v, 1.0f) < 0.12f || std::fmod(u + (static_cast<int>(v) % 2) * 0.5f, 2.0f) < 0.1f;
                const float dirt = smoothNoise(x / 14.0f, y / 14.0f, seed + 2);
                const float light = (x < corner ? 0.75f : 1.0f) * grain * (0.7f + 0.3f * dirt);
                line[x] = mortar ? shade(120, 115, 100, light) : shade(150, 85, 55, light);
            } else {
                // Tiles in perspective, darker far away.
                const float depth = h * 0.5f / std::max(1.0f, y - horizon);
                const float u = (x - cx) / w * depth * 6.0f;
                const float v = depth * 3.0f;
                const bool dark = (static_cast<int>(std::floor(u)) + static_cast<int>(std::floor(v))) % 2 == 0;
                const float light = std::clamp(2.2f / depth, 0.25f, 1.1f) * grain;
                line[x] = dark ? shade(70, 78, 60, light) : shade(112, 118, 96, light);
            }
        }
    }

    // The HUD: health, armour and ammunition in the game's orange, and the
    // crosshair.
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font("DejaVu Sans", std::max(8, h / 16), QFont::Bold);
    p.setFont(font);
    p.setPen(QColor(255, 170, 0));
    p.drawText(QRect(w / 40, h - h / 9, w / 3, h / 10), Qt::AlignLeft | Qt::AlignVCenter, "+ 100   | 75");
    p.drawText(QRect(w * 2 / 3, h - h / 9, w / 3 - w / 40, h / 10), Qt::AlignRight | Qt::AlignVCenter, "17 | 120");
    p.setPen(QPen(QColor(255, 170, 0), std::max(1, h / 300)));
    p.drawLine(QPointF(cx - h / 60.0, h / 2.0), QPointF(cx + h / 60.0, h / 2.0));
    p.drawLine(QPointF(cx, h / 2.0 - h / 60.0), QPointF(cx, h / 2.0 + h / 60.0));
    p.end();
    return img;
}
