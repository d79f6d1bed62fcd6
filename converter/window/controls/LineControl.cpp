#include "window/controls/LineControl.h"

#include "FrmMainLayout.h"

#include <QPainter>
#include <cmath>

namespace {

int toPixels(float twips) { return static_cast<int>(std::lround(twips / layout::kTwipsPerPixel)); }

} // namespace

LineControl::LineControl(QWidget* parent, QColor colour, int thicknessPx, float x1, float x2, int y)
    : QWidget(parent), m_colour(colour), m_thickness(thicknessPx), m_x1(x1), m_x2(x2), m_y(y)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    place();
}

void LineControl::setX2(float x2)
{
    m_x2 = x2;
    place();
    update();
}

void LineControl::place()
{
    // The round ends reach half the pen's width beyond both end points.
    const int left = std::min(toPixels(m_x1), toPixels(m_x2));
    const int right = std::max(toPixels(m_x1), toPixels(m_x2));
    const int half = m_thickness / 2;
    setGeometry(left - half, toPixels(m_y) - half, right - left + m_thickness, m_thickness);
}

void LineControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(m_colour, m_thickness, Qt::SolidLine, Qt::RoundCap));
    const qreal half = m_thickness / 2.0;
    p.drawLine(QPointF(half, half), QPointF(width() - half, half));
}
