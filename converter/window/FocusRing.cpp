#include "window/FocusRing.h"

#include <QApplication>
#include <QPainter>

namespace {

const QColor kRingColour(170, 176, 255); // the skin's light edge
constexpr int kRingWidth = 2;
constexpr int kGap = 1; // between the ring and its control

} // namespace

FocusRing::FocusRing(QWidget* window) : QWidget(window)
{
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusRing::follow(QWidget* focused)
{
    QWidget* window = parentWidget();
    // Qt marks a window once the keyboard has moved its focus.
    if (!focused || focused == window || focused->window() != window
        || !window->testAttribute(Qt::WA_KeyboardFocusChange)) {
        hide();
        return;
    }
    const int margin = kGap + kRingWidth;
    setGeometry(
        QRect(focused->mapTo(window, QPoint(0, 0)), focused->size()).adjusted(-margin, -margin, margin, margin));
    raise();
    show();
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kRingColour, kRingWidth));
    const qreal half = kRingWidth / 2.0;
    p.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), 3, 3);
}
