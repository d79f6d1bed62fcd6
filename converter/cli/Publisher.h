#pragma once

#include "FileResult.h"
#include "core/SafeFile.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <span>

// Gives each encoded screenshot its name and puts it on the disk, one file
// at a time and in list order, so that the names are those a one-by-one run
// gives: the name prefix and the lowest free number. The window's numbers
// end at 9998; a recorded movie has more frames, so once 0000 to 9998 are
// all taken the command line goes on with 9999, 10000, ... up to 99999.
//
// With several jobs a worker has already written the JPEG under a temporary
// name, so publishing it is a rename. Nothing is ever replaced. With
// --delete the screenshot is retired by the core's Retire: its JPEG flushed
// to the disk, and the screenshot deleted only if it still is the very file
// that was read.
class Publisher {
public:
    struct Settings {
        QString inputDir;
        QString outputDir;
        bool deleteAfter = false;
        bool dryRun = false; // claim names, write and delete nothing
    };
    using Note = std::function<void(const QString&)>;

    // The highest number a name takes.
    static constexpr int kLastNumber = 99999;

    Publisher(Settings settings, Note note);

    // Names and writes one JPEG: from `prepared` when it holds the file,
    // else from the bytes.
    FileResult publish(FileResult read, std::span<const std::uint8_t> jpeg, SafeFile::Prepared& prepared);

    // Whether a converted screenshot is deleted afterwards: --delete, and
    // not a dry run.
    bool retires() const { return m_settings.deleteAfter && !m_settings.dryRun; }

    // Retires the screenshot of a converted result, and says what became of
    // it. Safe on any thread: it changes nothing in the publisher.
    void retire(FileResult& published) const;

private:
    Settings m_settings;
    Note m_note;
    // Per prefix, the number after the last one claimed: every number below
    // it was found taken, so the next search starts there.
    QHash<QString, int> m_nextNumber;
};
