#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

// Hands the key presses of a control to a handler before the control sees
// them; the handler answers true for the keys it has taken. The filter is
// owned by the control.
void onKeyPress(QWidget* control, std::function<bool(const QKeyEvent&)> handler);
