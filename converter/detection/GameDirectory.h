#pragma once

#include <QString>
#include <QStringList>

// Where the game keeps its screenshots, searched on the first start (and by
// the command-line converter when nothing is stored). A function of its
// environment only: it reads files and, on Windows, the registry, and needs
// no window.
namespace GameDirectory {

struct Environment {
    QString registry;       // the registry read (MdlRegAll::ThisUsersRegistry(): a Wine prefix outside Windows)
    QStringList steamRoots; // the Steam installs whose libraries are searched
    QString picturesDir;    // where the default output folder goes (not on Windows)
};

// The real environment of this user. Linux: $WINEPREFIX or ~/.wine, the
// Steam installs under $HOME, the Pictures folder (or home when there is
// none). Windows: Steam's install from the user's registry (SteamPath).
Environment currentEnvironment();

struct Found {
    QString inputPath;        // the game's directory, or the proposed default
    QString outputPath;       // "<pictures>/CS_JPEG/" (C:\CS_JPEG\ on Windows)
    bool inputExists = false; // inputPath names an existing directory
    // Nothing was found and inputPath is the fixed default, taken whether or
    // not it exists. The window then also sets the quality to 90.
    bool proposedDefault = false;
};

// The search: the game's registry entries (Sierra's Directory, then the
// App Paths entry), then Steam's libraries, then the proposed default
// C:\Sierra\Half-Life\ (mapped into the Wine prefix outside Windows). A
// stale registry value naming a folder that no longer exists does not stop
// the search.
Found search(const Environment& env);

} // namespace GameDirectory
