#pragma once

class QString;
class QUrl;

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

// Shows a directory in the file manager: on Windows "explorer " and the
// path, as the user would type it; elsewhere OpenWithDesktop.
bool OpenDirectory(const QString& directory);
