#pragma once

#include <QLabel>
#include <functional>

// A label that hands its mouse events to the window. Events it has no
// handler for go on to the window below (which drags itself).
class MouseLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void(QMouseEvent*)> onMouse; // press, move and release
    std::function<void()> onClick;
    std::function<void()> onDoubleClick;

protected:
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    bool m_pressed = false;
};
