#include "window/FocusRing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace {

const QColor kRingColour(170, 176, 255); // the skin's light edge
constexpr int kRingWidth = 2;
constexpr int kGap = 1; // between the ring and its control

class KeyFilter : public QObject {
public:
    KeyFilter(QObject* target, std::function<bool(const QKeyEvent&)> handler)
        : QObject(target), m_handler(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::KeyPress && m_handler(static_cast<const QKeyEvent&>(*event));
    }

private:
    std::function<bool(const QKeyEvent&)> m_handler;
};

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
    setGeometry(QRect(focused->mapTo(window, QPoint(0, 0)), focused->size())
                    .adjusted(-margin, -margin, margin, margin));
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

void onKeyPress(QWidget* widget, std::function<bool(const QKeyEvent&)> handler)
{
    new KeyFilter(widget, std::move(handler)); // owned by the widget
}

bool isEnterKey(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Enter || event.key() == Qt::Key_Return;
}
