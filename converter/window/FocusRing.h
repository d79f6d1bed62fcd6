#pragma once

#include <QWidget>

// Shows which control holds the keyboard's focus: a ring just outside it in
// the skin's light blue, above every other control. It shows only once the
// focus has moved by the keyboard (Tab, a shortcut), so a window worked with
// the mouse alone looks as it always did.
class FocusRing : public QWidget {
public:
    explicit FocusRing(QWidget* window);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void follow(QWidget* focused);
};
