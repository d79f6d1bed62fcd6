#include "Reporter.h"

#include "core/NativeName.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kBarWidth = 30;

// In UTF-8 everywhere, so that a name in any script shows (main sets a
// Windows console to UTF-8).
void printLine(FILE* stream, const QString& line)
{
    std::fprintf(stream, "%s\n", line.toUtf8().constData());
    std::fflush(stream);
}

} // namespace

Reporter::Reporter(bool quiet, bool dryRun)
    : m_quiet(quiet), m_dryRun(dryRun), m_progress(!quiet && isatty(STDERR_FILENO))
{
    m_clock.start();
}

void Reporter::note(const QString& line)
{
    if (!m_quiet)
        error(line); // the same stream; only --quiet silences it
}

void Reporter::error(const QString& line)
{
    clearProgress();
    printLine(stderr, line);
    drawProgress();
}

void Reporter::beginBatch(int total)
{
    m_batchTotal = total;
    m_batchDone = 0;
    m_batchClock.start();
    drawProgress();
}

void Reporter::file(const FileResult& r)
{
    if (m_watching && r.source == FileResult::Source::StillWritten)
        return;
    const QString bitmap = NativeName::printable(r.bitmap);
    const QString jpeg = NativeName::printable(r.jpeg);
    QString line;
    switch (r.kind) {
    case FileResult::Kind::Converted:
        ++m_converted;
        m_pixels += r.pixels;
        line = m_dryRun ? QString("%1 -> %2").arg(bitmap, jpeg)
                        : QString("%1 -> %2 (%3 KiB)").arg(bitmap, jpeg).arg((r.jpegBytes + 512) / 1024);
        if (!r.reason.isEmpty())
            line += ", " + r.reason; // what became of the bitmap, when it was not deleted
        break;
    case FileResult::Kind::Skipped:
        ++m_skipped;
        line = QString("%1 skipped: %2").arg(bitmap, r.reason);
        break;
    case FileResult::Kind::Failed:
        ++m_failed;
        line = QString("%1 failed: %2").arg(bitmap, r.reason);
        break;
    }
    ++m_batchDone;
    clearProgress();
    if (!m_quiet || r.kind == FileResult::Kind::Failed)
        printLine(stdout, line);
    drawProgress();
}

void Reporter::summary()
{
    clearProgress();
    m_batchTotal = 0;
    if (m_quiet)
        return;
    const double seconds = m_clock.nsecsElapsed() / 1e9;
    printLine(stdout, QString("%1 %2, %3 skipped, %4 failed in %5 s (%6 MP/s)")
                          .arg(m_converted)
                          .arg(m_dryRun ? "to convert" : "converted")
                          .arg(m_skipped)
                          .arg(m_failed)
                          .arg(seconds, 0, 'f', 2)
                          .arg(seconds > 0 ? m_pixels / 1e6 / seconds : 0.0, 0, 'f', 1));
}

void Reporter::drawProgress()
{
    if (!m_progress || m_batchTotal <= 0)
        return;
    const int filled = kBarWidth * m_batchDone / m_batchTotal;
    std::fprintf(stderr, "\r[%s%s] %d/%d", QByteArray(filled, '#').constData(),
                 QByteArray(kBarWidth - filled, ' ').constData(), m_batchDone, m_batchTotal);
    // The time left at the pace so far: a long folder takes many minutes.
    if (m_batchDone > 0 && m_batchDone < m_batchTotal) {
        const qint64 left = (m_batchClock.elapsed() * (m_batchTotal - m_batchDone) / m_batchDone + 999) / 1000;
        if (left >= 3600)
            std::fprintf(stderr, ", %lld:%02lld:%02lld left", left / 3600, left / 60 % 60, left % 60);
        else
            std::fprintf(stderr, ", %lld:%02lld left", left / 60, left % 60);
    }
    std::fflush(stderr);
}

void Reporter::clearProgress()
{
    if (m_progress && m_batchTotal > 0)
        std::fputs("\r\033[K", stderr);
}
