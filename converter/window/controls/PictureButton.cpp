#include "window/controls/PictureButton.h"

#include <QPainter>

namespace {

QImage dimmed(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int grey = qGray(row[x]) / 2 + 16;
            row[x] = qRgba(grey, grey, grey + 24, qAlpha(row[x]));
        }
    }
    return out;
}

} // namespace

PictureButton::PictureButton(QWidget* parent, ScaledPicture normal, ScaledPicture pressed, ScaledPicture disabled)
    : QAbstractButton(parent), m_normal(std::move(normal)), m_pressed(std::move(pressed)),
      m_disabled(disabled.isNull() ? ScaledPicture([normal = m_normal](int scale) { return dimmed(normal.at(scale)); })
                                   : std::move(disabled))
{
    setFocusPolicy(Qt::TabFocus); // a click leaves the focus where it was
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const ScaledPicture& picture = !isEnabled() ? m_disabled : isDown() ? m_pressed : m_normal;
    const QImage& face = picture.at(devicePixelRatioF());
    // A picture smaller than its button sits in the middle, unscaled.
    QRect target(QPoint(0, 0), face.deviceIndependentSize().toSize().boundedTo(size()));
    target.moveCenter(rect().center());
    p.drawImage(target, face);
}
