#include "window/controls/ScaledPicture.h"

#include "ButtonArt.h"

const QImage& ScaledPicture::at(qreal devicePixelRatio) const
{
    const int scale = art::scaleFor(devicePixelRatio);
    QImage& drawn = m_drawn[static_cast<std::size_t>(scale - 1)];
    if (drawn.isNull() && m_draw) {
        drawn = m_draw(scale);
        drawn.setDevicePixelRatio(scale);
    }
    return drawn;
}
