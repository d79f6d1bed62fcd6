#pragma once

#include <QString>

// Reading the system registry, where the game's installer left its
// directory. On Windows this is the real registry. Elsewhere the game runs
// under Wine, whose prefix keeps HKEY_LOCAL_MACHINE in a text file,
// "system.reg": that file is read instead, and the Windows paths found in it
// are mapped onto the prefix's drives.
namespace MdlRegAll {

enum class RegRoot { LocalMachine, CurrentUser };

// The value's text up to its first NUL, or "" when the key or the value is
// missing or the value is not a plain string (REG_SZ). The 64-bit view is
// read first, then the 32-bit one (Software\Wow6432Node). Outside Windows the
// value is read from the current Wine prefix (WinePrefix()), and a path such
// as "C:\Sierra\Half-Life" comes back as the matching directory of the prefix;
// there only HKEY_LOCAL_MACHINE is kept.
QString ReadRegString(RegRoot root, const QString& subKey, const QString& valueName);

#ifndef Q_OS_WIN
// $WINEPREFIX, else ~/.wine.
QString WinePrefix();

// ReadRegString on a given prefix.
QString ReadRegString(const QString& winePrefix, RegRoot root, const QString& subKey, const QString& valueName);

// The raw text of a REG_SZ value in a system.reg file, "" when absent.
QString ReadSystemRegString(const QString& systemRegPath, const QString& subKey, const QString& valueName);

// "C:\Sierra\Half-Life\" -> "<prefix>/dosdevices/c:/sierra/half-life/", each
// folder name matched without regard to case where it exists. Text that does
// not start with a drive letter comes back unchanged.
QString MapWinePath(const QString& winePrefix, const QString& windowsPath);
#endif

} // namespace MdlRegAll
