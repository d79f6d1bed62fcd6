#pragma once

#include "FileResult.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <span>

// Gives each encoded screenshot its name and puts it on the disk, one file
// at a time and in list order, so that the names are those a one-by-one run
// gives: the name prefix and the lowest free four-digit number. The steps
// after encoding are the engine's (Retire): never replace a file, make the
// JPEG durable, and delete only the very bitmap that was read.
class Publisher {
public:
    struct Settings {
        QString inputDir;
        QString outputDir;
        bool deleteAfter = false;
        bool dryRun = false; // claim names, write and delete nothing
    };
    using Note = std::function<void(const QString&)>;

    Publisher(Settings settings, Note note);

    FileResult publish(FileResult read, std::span<const std::uint8_t> jpeg);

private:
    Settings m_settings;
    Note m_note;
    // Per prefix, the number after the last one claimed: every number below
    // it was found taken, so the next search starts there.
    QHash<QString, int> m_nextNumber;
};
