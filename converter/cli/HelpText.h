#pragma once

#include <QString>

// What --help says above the options. It names the places and the ways of
// running the watch that the user's own system has: Steam's folder and the
// systemd unit on Linux, Program Files and the installer's option on Windows
// (HelpTextPosix.cpp, HelpTextWindows.cpp).
QString helpDescription();

// The paragraph on what a conversion does, the same on every system.
QString helpConversion();
