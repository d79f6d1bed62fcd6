#include "WatchLoop.h"

#include "FolderWatcher.h"
#include "Interrupts.h"
#include "ParallelConverter.h"
#include "Reporter.h"
#include "core/NativeName.h"
#include "core/ScreenshotList.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <algorithm>

namespace {

constexpr int kFailed = 1;

// Which files were taken already, by name and identity. An event for the
// same file (one written while the first pass listed it) is not a new
// screenshot; a file written again since, or renamed onto the name, is.
class Session {
public:
    Session(ParallelConverter& converter, QString inputDir) : m_converter(converter), m_dir(std::move(inputDir)) {}

    // --new-only: the screenshots there now are never touched, whatever
    // happens to the directory, unless they change.
    void leaveAlone()
    {
        for (const QString& name : ScreenshotList::listForConversion(m_dir)) {
            if (const auto identity = identityOfFile(path(name)))
                m_handled.insert(name, *identity);
        }
    }

    // Converts the screenshots of the directory, or those named.
    bool convert(const QStringList* only)
    {
        QStringList batch;
        if (only) {
            for (const QString& name : *only) {
                if (ScreenshotList::isConversionName(name))
                    batch << name;
            }
            ScreenshotList::sortAsListed(batch);
            batch.erase(std::unique(batch.begin(), batch.end()), batch.end());
        } else {
            batch = ScreenshotList::listForConversion(m_dir);
        }
        batch.removeIf([this](const QString& name) { return !isNew(name); });
        if (batch.isEmpty())
            return true;
        const auto end = m_converter.run(batch, [this](const FileResult& r) { remember(r); });
        if (Interrupts::received() || end == ParallelConverter::End::NoThreads) {
            QCoreApplication::exit(end == ParallelConverter::End::NoThreads ? kFailed : Interrupts::exitCode());
            return false;
        }
        return true;
    }

private:
    QString path(const QString& name) const { return QDir(m_dir).filePath(name); }

    bool isNew(const QString& name) const
    {
        const auto now = identityOfFile(path(name));
        if (!now)
            return false; // gone already
        // A directory that comes back may sit on another device number (a
        // remount): see FileIdentity.
        const auto old = m_handled.constFind(name);
        return old == m_handled.constEnd() || !old->isSameSeenAgain(*now);
    }

    void remember(const FileResult& r)
    {
        switch (r.source) {
        case FileResult::Source::Read:
            // A failure is retried when the file's next event or a rescan comes.
            if (r.kind != FileResult::Kind::Failed)
                m_handled.insert(r.bitmap, r.identity);
            break;
        case FileResult::Source::Deleted:
            m_handled.remove(r.bitmap); // the game will reuse the name
            break;
        case FileResult::Source::Unread:
        case FileResult::Source::StillWritten: // owed: its writer's close brings it back
            break;
        }
    }

    ParallelConverter& m_converter;
    QString m_dir;
    QHash<QString, FileIdentity> m_handled; // taken, or left alone by --new-only
};

} // namespace

int watchAndConvert(ParallelConverter& converter, const QString& inputDir, bool newOnly, Reporter& reporter)
{
    reporter.setWatching(true);
    Session session(converter, inputDir);
    FolderWatcher watcher(inputDir);
    const QString shown = NativeName::printable(inputDir);
    Interrupts::exitEventLoopOnInterrupt();
    QObject::connect(&watcher, &FolderWatcher::filesReady, [&](const QStringList& names) { session.convert(&names); });
    QObject::connect(&watcher, &FolderWatcher::overflowed, [&] {
        reporter.note(QString("Too many changes at once in %1: looking at every file again.").arg(shown));
        session.convert(nullptr);
    });
    QObject::connect(&watcher, &FolderWatcher::directoryLost, [&] {
        reporter.note(QString("The input directory %1 is gone; waiting for it to come back.").arg(shown));
    });
    QObject::connect(&watcher, &FolderWatcher::directoryBack, [&] {
        // What was written while it was away is new too.
        reporter.note(QString("The input directory %1 is back; watching it again.").arg(shown));
        session.convert(nullptr);
    });
    QObject::connect(&watcher, &FolderWatcher::failed, [&](const QString& reason) {
        reporter.error("framewright-convert: " + reason);
        QCoreApplication::exit(kFailed);
    });

    // Watching starts before the first pass, so that nothing finished during
    // the pass is missed; what is left alone is recorded before either.
    if (newOnly)
        session.leaveAlone();
    const FolderWatcher::Start started = watcher.start();
    if (started == FolderWatcher::Start::Failed)
        return kFailed;
    reporter.note(QString("Watching %1 (stop with Ctrl-C).").arg(shown));
    if (started == FolderWatcher::Start::Watching && !session.convert(nullptr))
        return Interrupts::received() ? Interrupts::exitCode() : kFailed;
    if (Interrupts::received())
        return Interrupts::exitCode();
    return QCoreApplication::exec();
}
