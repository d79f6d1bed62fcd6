#include "window/SkinnedWindow.h"
#include "core/ScreenshotList.h"

#include "ButtonArt.h"
#include "engine/mFileOp.h"
#include "platform/Picture.h"
#include "window/mRegion.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

// The skin with the pixels of its key colour (its top-left pixel's) made
// fully transparent, for painting on the translucent window.
QImage keyedOut(const QImage& skin)
{
    QImage out = skin.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = out.pixel(0, 0);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (row[x] == key)
                row[x] = 0;
        }
    }
    return out;
}

} // namespace

SkinnedWindow::SkinnedWindow() : QWidget(nullptr)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
}

void SkinnedWindow::applySkin(const QImage& skin)
{
    if (skin.isNull())
        return;
    setFixedSize(skin.size());

    // The outline: a mask where the window system shapes windows (X11,
    // Windows); on Wayland a mask only limits input, so the outside is also
    // painted fully transparent on the translucent background.
    const std::vector<QRect> rects = mRegion::RegionFromPicture(skin);
    if (rects.empty())
        clearMask();
    else
        setMask(mRegion::ToRegion(rects));

    m_background = keyedOut(skin);
}

// The window keeps the size and the outline of skin.bmp (a shape in logical
// pixels), so a 2x skin that does not match it exactly in size is not used.
void SkinnedWindow::applySkin2x(const QString& skinPath)
{
    const QString path = ScreenshotList::pathIn(QFileInfo(skinPath).path(), QStringLiteral("skin@2x.bmp"));
    if (m_background.isNull() || !mFileOp::FileExists(path))
        return;
    try {
        QImage skin = PictureToImage(LoadPicture(path));
        if (skin.size() != m_background.size() * 2)
            return;
        m_background2x = keyedOut(skin);
        m_background2x.setDevicePixelRatio(2);
    } catch (const std::exception&) {
    }
}

void SkinnedWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const bool dense = art::scaleFor(devicePixelRatioF()) > 1 && !m_background2x.isNull();
    if (m_background.isNull())
        p.fillRect(rect(), QColor(18, 22, 66));
    else
        p.drawImage(0, 0, dense ? m_background2x : m_background);
}

void SkinnedWindow::mousePressEvent(QMouseEvent* event)
{
    // Any button moves the window. The window system does it where it can
    // (Wayland allows nothing else); otherwise the window follows the mouse.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_manualMove = true;
    m_moveOffset = event->globalPosition().toPoint() - pos();
}

void SkinnedWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_manualMove)
        move(event->globalPosition().toPoint() - m_moveOffset);
}

void SkinnedWindow::mouseReleaseEvent(QMouseEvent*) { m_manualMove = false; }
