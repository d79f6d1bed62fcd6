#pragma once

#include <QString>

// Reading the registry, where the game's installer left its directory. On
// Windows this is the system's own registry (MdlRegAllWindows.cpp).
// Elsewhere the game runs under Wine, whose prefix keeps the registry in
// text files, "system.reg" and "user.reg": those are read instead, and the
// Windows paths found in them are mapped onto the prefix's drives
// (MdlRegAllWine.cpp, WineRegistryFile.h).
namespace MdlRegAll {

enum class RegRoot { LocalMachine, CurrentUser };

// A 64-bit system keeps two views of HKEY_LOCAL_MACHINE\Software: a 32-bit
// installer writes into the 32-bit one (Software\Wow6432Node), which a
// 64-bit program does not see by default.
enum class RegView { Native, Wow32 };

// The registry this user's game is in: "" on Windows, where there is only
// the system's; elsewhere the Wine prefix, $WINEPREFIX or else ~/.wine.
QString ThisUsersRegistry();

// The text of a string value up to its first NUL, "" when the key or the
// value is missing or the value is no string. A REG_EXPAND_SZ value comes
// back with its %VARIABLES% expanded (Wine: from the prefix's system
// environment); one that names no variable stays as it is.
QString ReadRegString(const QString& registry, RegRoot root, RegView view, const QString& subKey,
                      const QString& valueName);

// A Windows path read from the registry as a path of this machine: on
// Windows itself with backslashes only; under Wine the prefix's directory it
// maps to, each folder name matched without regard to case where it exists
// ("C:\Sierra\Half-Life\" -> "<prefix>/dosdevices/c:/sierra/half-life/").
// Text that does not start with a drive letter comes back unchanged.
QString LocalPath(const QString& registry, const QString& windowsPath);

// The folder a value names, as LocalPath gives it: the native view's when
// that folder exists, else the 32-bit view's when that one does. An entry
// left behind by an uninstalled copy must not hide a working one. "" when
// neither names an existing folder.
QString ReadRegFolder(const QString& registry, RegRoot root, const QString& subKey, const QString& valueName);

} // namespace MdlRegAll
