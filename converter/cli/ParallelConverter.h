#pragma once

#include "FileResult.h"
#include "Publisher.h"
#include "core/JpegEncoder.h"

#include <QString>
#include <QStringList>
#include <functional>

class Reporter;

// Converts a list of screenshots (bitmaps and TGA files) on several threads.
// Each worker reads a screenshot straight into its own picture buffer,
// encodes it there and, when there are several workers, writes the JPEG to
// a temporary file; one publisher, the calling thread, names the files in
// list order; with --delete, a Retirer deletes the screenshots. At most
// twice as many encoded files as workers wait for the publisher, which
// bounds the memory, whatever the length of the list.
class ParallelConverter {
public:
    struct Settings {
        Publisher::Settings files;
        int quality = 90;
        int jobs = 1;
        JpegEncoder::Coding coding = JpegEncoder::Coding::StandardTables;
    };

    enum class End {
        Done,
        Interrupted, // a signal stopped it: files in flight were abandoned
        NoThreads,   // not one worker thread could be started
    };

    ParallelConverter(Settings settings, Reporter& reporter);

    // Converts the named screenshots of the input directory, in this order, and
    // hands each result to the reporter, then to `seen` when given.
    End run(const QStringList& bitmaps, const std::function<void(const FileResult&)>& seen = {});

private:
    Settings m_settings;
    Reporter& m_reporter;
};
