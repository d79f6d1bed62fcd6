#pragma once

#include <QString>

// The text files in which Wine keeps a prefix's registry: "system.reg" for
// HKEY_LOCAL_MACHINE, "user.reg" for HKEY_CURRENT_USER. Each holds a
// section per key, "[Software\\Sierra OnLine\\Setup\\HLIFEFE] <time>", then
// lines "name"=value, where @ names the default value.
namespace WineRegistryFile {

struct Value {
    enum class Type { Absent, String, ExpandString };
    Type type = Type::Absent;
    QString text; // up to its first NUL, escapes undone
};

// A value of a key in such a file. Plain strings (REG_SZ, also written
// "str(1):") and expandable ones ("str(2):") are read; every other type
// (str(7) multi, dword, hex) counts as absent. Names ignore case.
Value Read(const QString& registryFile, const QString& subKey, const QString& valueName);

// "C:\Sierra\Half-Life\" -> "<prefix>/dosdevices/c:/sierra/half-life/", each
// folder name matched without regard to case where it exists. Text that does
// not start with a drive letter comes back unchanged.
QString MapWinePath(const QString& winePrefix, const QString& windowsPath);

} // namespace WineRegistryFile
