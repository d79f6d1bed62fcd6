#include "window/Controls.h"

#include "ButtonArt.h"
#include "FrmMainLayout.h"
#include "core/ScreenshotList.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

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

int toPixels(float twips)
{
    return static_cast<int>(std::lround(twips / layout::kTwipsPerPixel));
}

} // namespace

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

PictureButton::PictureButton(QWidget* parent, ScaledPicture normal, ScaledPicture pressed,
                             ScaledPicture disabled)
    : QAbstractButton(parent), m_normal(std::move(normal)), m_pressed(std::move(pressed)),
      m_disabled(disabled.isNull()
                     ? ScaledPicture([normal = m_normal](int scale) { return dimmed(normal.at(scale)); })
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

void MouseLabel::mousePressEvent(QMouseEvent* event)
{
    if (!onMouse && !onClick && !onDoubleClick) {
        event->ignore();
        return;
    }
    m_pressed = true;
    if (onMouse)
        onMouse(event);
}

void MouseLabel::mouseMoveEvent(QMouseEvent* event)
{
    if (!onMouse) {
        event->ignore();
        return;
    }
    onMouse(event);
}

void MouseLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (!onMouse && !onClick && !onDoubleClick) {
        event->ignore();
        return;
    }
    if (onMouse)
        onMouse(event);
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && onClick)
        onClick();
}

void MouseLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click: a slider label takes it as a
    // press; a label with only a click does nothing more (one click, one
    // action).
    if (onDoubleClick)
        onDoubleClick();
    else if (onMouse)
        mousePressEvent(event);
    else if (!onClick)
        event->ignore();
}

QString PathLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

bool PathLabel::event(QEvent* event)
{
    // The tooltip follows the path whichever way the path was set.
    if (event->type() == QEvent::ToolTip)
        setToolTip(text());
    return MouseLabel::event(event);
}

void PathLabel::paintEvent(QPaintEvent* event)
{
    const QString shown = shownText();
    if (shown == text()) {
        MouseLabel::paintEvent(event); // a path that fits looks as any label
        return;
    }
    QPainter p(this);
    style()->drawItemText(&p, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), shown, foregroundRole());
}

void WrapCheckBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect box = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    option.rect = QRect(QPoint(2, (height() - box.height()) / 2), box.size());
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, this);
    const QRect textRect = rect().adjusted(option.rect.right() + 6, 0, -2, 0);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                             QPalette::WindowText));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {}

QStringList FileListBox::matchingFiles(const QString& directory)
{
    return ScreenshotList::list(directory);
}

bool FileListBox::setPath(const QString& directory)
{
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return false;
    m_path = directory;
    refresh();
    return true;
}

void FileListBox::refresh()
{
    const QString selected = currentItem() ? currentItem()->text() : QString();
    const QSignalBlocker quiet(this);
    clear();
    if (!m_path.isEmpty())
        addItems(matchingFiles(m_path));
    const QList<QListWidgetItem*> same = findItems(selected, Qt::MatchExactly);
    if (!selected.isEmpty() && !same.isEmpty())
        setCurrentItem(same.first());
}
