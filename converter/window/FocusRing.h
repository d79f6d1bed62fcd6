#pragma once

#include <QWidget>
#include <functional>

class QKeyEvent;

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

// Hands the key presses of a widget to a handler before the widget sees
// them; the handler returns true for the keys it has taken.
void onKeyPress(QWidget* widget, std::function<bool(const QKeyEvent&)> handler);

// Enter on either the main keyboard or the keypad.
bool isEnterKey(const QKeyEvent& event);
