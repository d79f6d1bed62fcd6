#include "window/controls/MouseLabel.h"

#include <QMouseEvent>

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
