#pragma once

#include <QString>

// What --help says above the options. It names the places and the ways of
// running the watch that the user's own system has: Steam's folder and the
// systemd unit on Linux, Program Files and the installer's option on Windows
// (HelpTextPosix.cpp, HelpTextWindows.cpp).
QString helpDescription();

// The paragraphs the same on every system: what a conversion does, and how
// the game's mod folders are followed (the example after it is the system's).
QString helpConversion();
QString helpModFolders();
