#pragma once

#include "detection/GameDirectory.h"
#include "engine/RunHost.h"
#include "platform/DesktopOpen.h"

#include <QString>
#include <functional>

class QWidget;

// Everything FrmMain asks of the desktop and of its surroundings. The real
// program fills it with realServices(); tests replace the parts that would
// wait for a person (the folder picker), start other programs, or end the
// process. Message boxes have one seam of their own: MsgBox's handler.
struct FrmMainServices {
    // The folder picker: the chosen directory or "" when cancelled.
    std::function<QString(const QString& startFolder, const QString& title)> browseFolder;

    // The desktop's file manager on a directory.
    std::function<void(const QString& directory)> openDirectory;
    // A file with its associated program, for a window that owns what the
    // shell may ask, shown as told.
    std::function<void(const QString& file, const QWidget& owner, ShowCommand show)> openFile;
    // A web address in the browser.
    std::function<void(const QString& address)> openAddress;
    // Starts a program, not waiting for it; false when it could not start.
    std::function<bool(const QString& program)> startDetached;

    // Waits while the window handles its events (the welcome text).
    std::function<void(int ms)> pause;
    // Ends the process at once.
    std::function<void()> quit;

    QString programDir;                     // where the viewer is looked for, and skin.bmp first (DataFile.h)
    QString settingsFile;                   // the INI store
    GameDirectory::Environment environment; // where the first start looks for the game
};

FrmMainServices realServices();
