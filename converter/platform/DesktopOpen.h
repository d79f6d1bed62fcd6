#pragma once

#include <QtGlobal>

class QString;
class QUrl;

// How a program started for the user shows its window: the shell's show
// commands.
enum class ShowCommand : int { ShowNormal = 1, Show = 5 };

// DesktopOpen.cpp holds each platform's way: the shell's "open" on Windows,
// xdg-open on Linux.

// Opens a web address, or a local file or directory, with the desktop's
// default program (browser, image viewer, file manager), without waiting for
// it. False when it could not be handed over.
//
// The program gets the user's environment: where a sandbox (see
// scripts/run-sandbox.sh) replaced some of the user's variables, it names
// them in FW_SANDBOX_VARS and keeps the user's values in FW_USER_<name>, and
// those values are put back for the program.
bool OpenWithDesktop(const QUrl& url);

// Opens a local file with its associated program on behalf of a window
// (its native id): on Windows the shell's "open" with that window as the
// owner of anything the shell asks (which program to use, an error) and the
// show command; elsewhere OpenWithDesktop, which takes neither. False when
// it could not be handed over.
bool OpenFileFor(const QString& file, quintptr ownerWindow, ShowCommand show);

// Shows a directory in the file manager: on Windows "explorer " and the
// path, as the user would type it; elsewhere OpenWithDesktop.
bool OpenDirectory(const QString& directory);

// The command line explorer is given for a directory: the path with
// backslashes, in double quotes, so that a comma or a blank in it stays
// part of it. Windows names cannot hold a double quote.
QString ExplorerArguments(const QString& directory);
