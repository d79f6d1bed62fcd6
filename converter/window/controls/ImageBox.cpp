#include "window/controls/ImageBox.h"

#include <QPainter>

ImageBox::ImageBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

void ImageBox::setImage(const QImage& image)
{
    m_image = image;
    update();
}

void ImageBox::paintEvent(QPaintEvent* event)
{
    {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!m_image.isNull())
            p.drawImage(rect(), m_image);
    }
    QFrame::paintEvent(event);
}

void ImageBox::mouseDoubleClickEvent(QMouseEvent*)
{
    if (onDoubleClick)
        onDoubleClick();
}
