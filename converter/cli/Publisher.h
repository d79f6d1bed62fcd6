#pragma once

#include "FileResult.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <span>

// Gives each encoded screenshot its name and puts it on the disk, one file
// at a time and in list order, so that the names are those a one-by-one run
// gives: the name prefix and the lowest free four-digit number. Never
// replaces a file; when another program takes a number first, the file moves
// on to the next one. A bitmap is deleted only once its JPEG is flushed.
class Publisher {
public:
    struct Settings {
        QString inputDir;
        QString outputDir;
        bool deleteAfter = false;
        bool dryRun = false; // claim names, write and delete nothing
    };

    explicit Publisher(Settings settings);

    FileResult publish(const QString& bitmap, std::span<const std::uint8_t> jpeg, qint64 pixels);

private:
    QString deleteBitmap(const QString& bitmap) const; // why it failed, or empty

    Settings m_settings;
    // Per prefix, the number after the last one claimed: every number below
    // it was found taken, so the next search starts there.
    QHash<QString, int> m_nextNumber;
};
