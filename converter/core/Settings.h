#pragma once

#include <QString>
#include <optional>

// The converter's stored settings: the user's settings store (organisation
// and application "Framewright"; an INI file on Linux, the registry on
// Windows), group CONFIG, keys
// InputPath, OutputPath, Quality and Del. Plain values: the window copies
// them into and out of its controls; the command-line converter reads them.
struct Settings {
    QString inputPath; // ends in the path separator once normalised
    QString outputPath;
    int quality = 90; // 0 to 100
    bool deleteAfterConversion = false;

    // The user-scope store the programs share: the INI file's path, or on
    // Windows the registry key's ("\\HKEY_CURRENT_USER\\Software\\...").
    static QString defaultFile();

    // The stored values, or nothing when no input directory was ever stored.
    // Hand-edited values are brought back into range: a quality between 0 and
    // 100, and deleting only on an explicit 1.
    static std::optional<Settings> load(const QString& file);

    // Writes all four values and flushes the file. False when the store could
    // not be written (a read-only directory, a full disk).
    bool save(const QString& file) const;
};
