#pragma once

#include "Publisher.h"

#include <QString>
#include <QStringList>

class Reporter;

// Converts a list of screenshots on several threads. Each worker reads a
// bitmap straight into its own picture buffer and encodes it there; one
// publisher, the calling thread, names and writes the JPEG files in list
// order. At most twice as many encoded files as workers wait for it, which
// bounds the memory.
class ParallelConverter {
public:
    struct Settings {
        Publisher::Settings files;
        int quality = 90;
        int jobs = 1;
    };

    ParallelConverter(Settings settings, Reporter& reporter);

    // Converts the named bitmaps of the input directory, in this order.
    // False when a signal stopped it: files in flight were abandoned.
    bool run(const QStringList& bitmaps);

private:
    Settings m_settings;
    Reporter& m_reporter;
};
