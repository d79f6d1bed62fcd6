#pragma once

#include <QString>
#include <functional>

// The icons of the program's message boxes, with the values the message box
// service uses for them.
enum class MsgIcon { None = 0, Stop = 16, Question = 32, Warning = 48, Information = 64 };

enum class MsgButtons { Ok, YesNo };

// The line break inside a message's text: CR LF on Windows, LF elsewhere.
QString MsgLineBreak();

// Shows a modal message box; true when the user answered OK or Yes. An empty
// title stands for the application's title. Until a program with windows
// installs its message box (SetMsgBoxHandler), the text goes to stderr and
// the answer is false.
using MsgBoxHandler = std::function<bool(const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title)>;

bool MsgBox(const QString& text, MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok,
            const QString& title = {});

// Replaces the handler (the window's message box; tests answer for the user);
// returns the previous one. An empty handler restores the stderr default.
MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler);
