#pragma once

// Where the credits square must appear for a camera angle, worked out on the
// CPU the way Direct3D does it: clip to 0 <= z <= w, divide, map to pixels
// whose centres sit on integer coordinates.
#include "d3d/D3DXMath.h"
#include "frmMain.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QVector>
#include <cmath>
#include <gtest/gtest.h>

struct ClipPoint {
    double x, y, z, w;
};

class SceneModel {
public:
    // nearAtMinusW: clip depth as OpenGL would without Direct3D's range, to
    // show where the two differ.
    SceneModel(double theta, QSize size, bool nearAtMinusW = false) : m_size(size), m_loose(nearAtMinusW)
    {
        using namespace d3d;
        const D3DVECTOR eye = frmMain::MakeVector(float(std::cos(theta)), 1.0f, float(std::sin(theta)));
        const D3DVECTOR at{0, 0, 0}, up{0, 1, 0};
        D3DMATRIX view, projection;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 0.785f, 1.0f, 1.0f, 200.0f);
        m_viewProjection = view * projection;

        // The strip 0,1,2,3 covers the convex outline 0,1,3,2.
        const float s = 0.3f;
        QVector<ClipPoint> polygon = {clip(-s, s), clip(s, s), clip(s, -s), clip(-s, -s)};
        polygon = clipAgainst(polygon, [this](const ClipPoint& p) { return m_loose ? p.z + p.w : p.z; });
        polygon = clipAgainst(polygon, [](const ClipPoint& p) { return p.w - p.z; });
        for (const ClipPoint& p : polygon)
            m_outline << toScreen(p);
    }

    // Distance in pixels from the outline, positive inside it.
    double insideDistance(QPointF pixel) const
    {
        if (m_outline.size() < 3)
            return -1e9;
        double area = 0;
        for (int i = 0; i < m_outline.size(); ++i) {
            const QPointF a = m_outline[i], b = m_outline[(i + 1) % m_outline.size()];
            area += a.x() * b.y() - b.x() * a.y();
        }
        double distance = 1e9;
        for (int i = 0; i < m_outline.size(); ++i) {
            const QPointF a = m_outline[i], b = m_outline[(i + 1) % m_outline.size()];
            const QPointF e = b - a;
            const double length = std::hypot(e.x(), e.y());
            if (length < 1e-9)
                continue;
            double cross = (e.x() * (pixel.y() - a.y()) - e.y() * (pixel.x() - a.x())) / length;
            distance = std::min(distance, area > 0 ? cross : -cross);
        }
        return distance;
    }

    // The pixel showing texture coordinate (u, v).
    QPoint pixelOf(double u, double v) const
    {
        const QPointF s = toScreen(clip(float(-0.3 + 0.6 * u), float(0.3 - 0.6 * v)));
        return QPoint(int(std::lround(s.x())), int(std::lround(s.y())));
    }

private:
    ClipPoint clip(float x, float y) const
    {
        const auto& m = m_viewProjection.m;
        return {x * m[0][0] + y * m[1][0] + m[3][0], x * m[0][1] + y * m[1][1] + m[3][1],
                x * m[0][2] + y * m[1][2] + m[3][2], x * m[0][3] + y * m[1][3] + m[3][3]};
    }

    template <typename Plane>
    static QVector<ClipPoint> clipAgainst(const QVector<ClipPoint>& in, Plane distance)
    {
        QVector<ClipPoint> out;
        for (int i = 0; i < in.size(); ++i) {
            const ClipPoint& a = in[i];
            const ClipPoint& b = in[(i + 1) % in.size()];
            const double da = distance(a), db = distance(b);
            if (da >= 0)
                out << a;
            if ((da >= 0) != (db >= 0)) {
                const double t = da / (da - db);
                out << ClipPoint{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z),
                                 a.w + t * (b.w - a.w)};
            }
        }
        return out;
    }

    QPointF toScreen(const ClipPoint& p) const
    {
        return {(p.x / p.w + 1) / 2 * m_size.width(), (1 - p.y / p.w) / 2 * m_size.height()};
    }

    QSize m_size;
    bool m_loose;
    d3d::D3DMATRIX m_viewProjection;
    QVector<QPointF> m_outline;
};

inline int channelSum(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c); }

// Every pixel clearly inside the outline is lit, every pixel clearly
// outside it is black. Returns the number of pixels checked inside.
inline int expectMatchesModel(const QImage& frame, const SceneModel& model)
{
    int inside = 0, wrong = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const double d = model.insideDistance(QPointF(x, y));
            const int sum = channelSum(frame.pixel(x, y));
            if (d > 1.0) {
                ++inside;
                wrong += sum < 25;
            } else if (d < -1.0) {
                wrong += sum > 10;
            }
        }
    EXPECT_EQ(wrong, 0);
    return inside;
}
