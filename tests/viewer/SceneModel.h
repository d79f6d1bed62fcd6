#pragma once

// Where the credits square must appear for a camera angle, worked out on the
// CPU with Direct3D's conventions but without the viewer's matrix helpers: a
// left-handed camera on the orbit looking at the origin, the projection the
// viewer sets (field of view 0.785, aspect 1), pixel centres on integer
// coordinates. At the angles tested no corner is nearer than the near plane.
#include <QImage>
#include <QPointF>
#include <QVector3D>
#include <QVector>
#include <cmath>
#include <gtest/gtest.h>

class SceneModel {
public:
    SceneModel(double theta, QSize size) : m_size(size), m_eye(float(std::cos(theta)), 1.0f, float(std::sin(theta)))
    {
        m_forward = -m_eye.normalized();
        m_right = QVector3D::crossProduct(QVector3D(0, 1, 0), m_forward).normalized();
        m_up = QVector3D::crossProduct(m_forward, m_right);
        // The strip 0,1,2,3 covers the convex outline 0,1,3,2.
        for (const QPointF& uv : {QPointF(0, 0), QPointF(1, 0), QPointF(1, 1), QPointF(0, 1)})
            m_outline << screenOf(uv.x(), uv.y());
        double area = 0;
        for (int i = 0; i < 4; ++i)
            area += m_outline[i].x() * m_outline[(i + 1) % 4].y() - m_outline[(i + 1) % 4].x() * m_outline[i].y();
        m_inside = area > 0 ? 1 : -1;
    }

    // Distance in pixels from the outline, positive inside it.
    double insideDistance(QPointF pixel) const
    {
        double distance = 1e9;
        for (int i = 0; i < 4; ++i) {
            const QPointF a = m_outline[i], e = m_outline[(i + 1) % 4] - a;
            const double cross = e.x() * (pixel.y() - a.y()) - e.y() * (pixel.x() - a.x());
            distance = std::min(distance, m_inside * cross / std::hypot(e.x(), e.y()));
        }
        return distance;
    }

    // The pixel showing texture coordinate (u, v).
    QPoint pixelOf(double u, double v) const { return screenOf(u, v).toPoint(); }

private:
    QPointF screenOf(double u, double v) const
    {
        const QVector3D p = QVector3D(float(-0.3 + 0.6 * u), float(0.3 - 0.6 * v), 0) - m_eye;
        const double scale = 1 / std::tan(0.785 / 2) / QVector3D::dotProduct(p, m_forward); // over the depth w
        const double x = QVector3D::dotProduct(p, m_right) * scale, y = QVector3D::dotProduct(p, m_up) * scale;
        return {(x + 1) / 2 * m_size.width(), (1 - y) / 2 * m_size.height()};
    }

    QSize m_size;
    QVector3D m_eye, m_forward, m_right, m_up;
    QVector<QPointF> m_outline;
    int m_inside;
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
