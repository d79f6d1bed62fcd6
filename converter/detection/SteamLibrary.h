#pragma once

#include <QString>
#include <QStringList>

// Finding the Steam copy of Half-Life (Steam app 70), which is how most
// players have the game today.
namespace SteamLibrary {

// The Steam roots that exist under home: the standard install, Flatpak and
// Snap; each directory once, whatever links lead to it.
QStringList SteamRoots(const QString& home);

// The root's own library and every library named in its
// steamapps/libraryfolders.vdf (old and new layouts of that file).
QStringList LibraryFolders(const QString& steamRoot);

// The game's install directory in a library, "" when it is not there.
QString HalfLifeInstall(const QString& library);

// Where the game writes its screenshots: the mod folder of the install
// (valve, cstrike, ...) that holds the newest ".bmp", else "valve".
QString ScreenshotFolder(const QString& install);

// All of the above: the screenshot folder of the first install found in the
// roots' libraries, or "".
QString FindHalfLifeScreenshots(const QStringList& steamRoots);

// The "key" "value" pairs of a KeyValues text (.vdf, .acf), in file order,
// at every depth.
QList<std::pair<QString, QString>> KeyValuePairs(const QString& text);

} // namespace SteamLibrary
