#pragma once

#include "FileResult.h"

#include <QElapsedTimer>
#include <QString>

// Everything the converter tells the user: a line per file and the summary on
// stdout, notes and a progress bar with the time left (only on a terminal)
// on stderr.
class Reporter {
public:
    Reporter(bool quiet, bool dryRun);

    // A watch says nothing of a file still being written: it takes the file
    // once its writer closes it.
    void setWatching(bool watching) { m_watching = watching; }

    void note(const QString& line);  // on stderr, unless quiet
    void error(const QString& line); // on stderr, always
    void beginBatch(int total);      // the progress bar's length; 0 for none
    void file(const FileResult& result);
    void summary();

    bool anyFailed() const { return m_failed > 0; }

private:
    void drawProgress();
    void clearProgress();

    bool m_quiet;
    bool m_dryRun;
    bool m_progress;
    bool m_watching = false;
    int m_batchTotal = 0;
    int m_batchDone = 0;
    int m_converted = 0;
    int m_skipped = 0;
    int m_failed = 0;
    qint64 m_pixels = 0;
    QElapsedTimer m_clock;
    QElapsedTimer m_batchClock;
};
