#include "window/KeyFilter.h"

#include <QKeyEvent>
#include <QObject>
#include <QWidget>

namespace {

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

void onKeyPress(QWidget* control, std::function<bool(const QKeyEvent&)> handler)
{
    new KeyFilter(control, std::move(handler)); // owned by the control
}
