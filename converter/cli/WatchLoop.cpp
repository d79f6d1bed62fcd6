#include "WatchLoop.h"

#include "FolderWatcher.h"
#include "Interrupts.h"
#include "ParallelConverter.h"
#include "Reporter.h"
#include "engine/ScreenshotList.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSocketNotifier>

namespace {

// A file as it was when it was handed to the converter. An event for the same
// name and state (a file written while the first pass listed it) is not a
// new screenshot; a file written again since is.
struct Version {
    qint64 size;
    QDateTime modified;
    bool operator==(const Version&) const = default;
};

class Session {
public:
    Session(ParallelConverter& converter, QString inputDir) : m_converter(converter), m_dir(std::move(inputDir)) {}

    // Converts the listed screenshots, all of them or those named.
    void convert(const QSet<QString>* only)
    {
        QStringList batch;
        for (const QString& name : ScreenshotList::list(m_dir)) {
            if (only && !only->contains(name))
                continue; // not a screenshot, or gone before its turn
            const QFileInfo info(QDir(m_dir).filePath(name));
            const Version now{info.size(), info.lastModified()};
            const auto seen = m_handled.constFind(name);
            if (seen != m_handled.constEnd() && *seen == now)
                continue;
            m_handled.insert(name, now);
            batch << name;
        }
        if (!batch.isEmpty())
            m_converter.run(batch);
        if (Interrupts::received())
            QCoreApplication::exit();
    }

private:
    ParallelConverter& m_converter;
    QString m_dir;
    QHash<QString, Version> m_handled;
};

} // namespace

int watchAndConvert(ParallelConverter& converter, const QString& inputDir, bool newOnly, Reporter& reporter)
{
    Session session(converter, inputDir);
    FolderWatcher watcher(inputDir);
    QSocketNotifier wake(Interrupts::wakeDescriptor(), QSocketNotifier::Read);
    QObject::connect(&wake, &QSocketNotifier::activated, [] { QCoreApplication::exit(); });
    QObject::connect(&watcher, &FolderWatcher::filesReady, [&](const QStringList& names) {
        const QSet<QString> ready(names.begin(), names.end());
        session.convert(&ready);
    });
    QObject::connect(&watcher, &FolderWatcher::directoryLost, [&] {
        reporter.note(QString("The input directory %1 is gone; waiting for it to come back.").arg(inputDir));
    });
    QObject::connect(&watcher, &FolderWatcher::directoryBack, [&] {
        // What was written while it was away is new too.
        reporter.note(QString("The input directory %1 is back; watching it again.").arg(inputDir));
        session.convert(nullptr);
    });

    // Watching starts before the first pass, so that nothing finished during
    // the pass is missed.
    const bool present = watcher.start();
    reporter.note(QString("Watching %1 (stop with Ctrl-C).").arg(inputDir));
    if (present && !newOnly)
        session.convert(nullptr);
    if (!Interrupts::received())
        QCoreApplication::exec();
    return Interrupts::exitCode();
}
