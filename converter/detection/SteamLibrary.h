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
// steamapps/libraryfolders.vdf (old and new layouts of that file; an old
// layout's entry is taken when it is an absolute path of this system:
// "/mnt/games", on Windows also "D:\SteamLibrary").
QStringList LibraryFolders(const QString& steamRoot);

struct Install {
    QString path;             // "" when the library holds no Half-Life folder
    bool hasManifest = false; // steamapps/appmanifest_70.acf says the game is there
};

// The game's install directory in a library.
Install HalfLifeInstall(const QString& library);

// Where the game writes its screenshots: the mod folder of the install
// (valve, cstrike, ...) that holds the newest ".bmp", else "valve".
QString ScreenshotFolder(const QString& install);

// All of the above: the screenshot folder of the installs found in the
// roots' libraries, or "". Installs whose manifest says they hold the game
// are preferred to Half-Life folders without one; among them the mod folder
// with the newest screenshot wins.
QString FindHalfLifeScreenshots(const QStringList& steamRoots);

// The "key" "value" pairs of a KeyValues text (.vdf, .acf), in file order,
// at every depth.
QList<std::pair<QString, QString>> KeyValuePairs(const QString& text);

} // namespace SteamLibrary
