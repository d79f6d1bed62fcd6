#include "Publisher.h"

#include "core/NativeName.h"
#include "core/Retire.h"
#include "core/ScreenshotFormat.h"
#include "core/ScreenshotList.h"

#include <QDir>
#include <QFileInfo>

Publisher::Publisher(Settings settings, Note note) : m_settings(std::move(settings)), m_note(std::move(note)) {}

FileResult Publisher::publish(FileResult r, std::span<const std::uint8_t> jpeg, SafeFile::Prepared& prepared)
{
    r.jpegBytes = qint64(jpeg.size());
    const QString prefix = ScreenshotList::jpegPrefix(r.bitmap);
    const auto write = [&](const QString& target, const SafeFile::BeforeNaming& beforeNaming) {
        if (m_settings.dryRun)
            return SafeFile::Result{SafeFile::Outcome::Written, {}};
        if (prepared) {
            if (beforeNaming)
                beforeNaming(jpeg, prepared.flushed());
            const SafeFile::Result renamed = prepared.publish(target);
            if (renamed.outcome != SafeFile::Outcome::Failed)
                return renamed;
        }
        // The worker could not write in the output directory, or its file
        // went with the directory: the bytes are written here instead.
        return SafeFile::write(target, jpeg, SafeFile::Publish::NoReplace, beforeNaming);
    };
    if (retires() && r.held)
        r.retirement = std::make_shared<Retire::Retirement>(ScreenshotList::pathIn(m_settings.inputDir, r.bitmap),
                                                            r.held, r.identity);
    Retire::Published written = Retire::publish(m_settings.outputDir, prefix, m_nextNumber.value(prefix, 0), write,
                                                kLastNumber + 1, r.retirement.get());
    // A watch runs for days: when the output directory is deleted meanwhile,
    // it is made again rather than failing every screenshot from then on.
    if (written.result.outcome == SafeFile::Outcome::Failed && !QFileInfo(m_settings.outputDir).isDir()
        && QDir().mkpath(m_settings.outputDir)) {
        m_note(QString("The output directory %1 was gone: created it again.").arg(m_settings.outputDir));
        written = Retire::publish(m_settings.outputDir, prefix, 0, write, kLastNumber + 1, r.retirement.get());
    }
    r.written = written.result;
    switch (written.result.outcome) {
    case SafeFile::Outcome::NameTaken:
        r.retirement.reset();
        r.kind = FileResult::Kind::Skipped;
        r.reason = QString("every number from 0000 to %1 is taken").arg(kLastNumber);
        return r;
    case SafeFile::Outcome::Failed:
        // The number stays free for the next file.
        r.kind = FileResult::Kind::Failed;
        r.reason = QString("cannot write %1: %2").arg(NativeName::printable(written.jpegPath), written.result.error);
        r.retirement.reset(); // the bitmap goes back where it was set aside
        return r;
    case SafeFile::Outcome::Written: break;
    }
    m_nextNumber[prefix] = written.number + 1;
    r.jpeg = ScreenshotList::candidateName(prefix, written.number);
    r.kind = FileResult::Kind::Converted;
    return r;
}

void Publisher::retire(FileResult& r) const
{
    const Retire::Outcome retired =
        r.retirement ? r.retirement->finish(r.written)
                     : Retire::Outcome{Retire::Fate::CannotDelete, {}, QStringLiteral("it is no longer open")};
    r.retirement.reset();
    r.held.reset();
    // Converted, whatever the fate: see Retire.h.
    if (retired.fate == Retire::Fate::Deleted)
        r.source = FileResult::Source::Deleted;
    else
        r.reason = QString("%1 %2").arg(ScreenshotFormats::of(r.bitmap)->noun, Retire::describe(retired));
}
