#include "window/controls/ShapeControl.h"

#include <QPainter>

ShapeControl::ShapeControl(QWidget* parent, QColor colour) : QWidget(parent), m_colour(colour)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(m_colour);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
