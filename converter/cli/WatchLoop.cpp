#include "WatchLoop.h"

#include "FolderClaim.h"
#include "FolderRecovery.h"
#include "FolderWatcher.h"
#include "Interrupts.h"
#include "ModFolders.h"
#include "Reporter.h"
#include "core/NativeName.h"
#include "core/ScreenshotList.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kWatchedElsewhere = 0; // not a failure: the folders are being converted

// Claims a folder for this watch. Null when another watch converts it; a
// claim the system refuses is said and not waited on: one watch converting
// is better than none.
std::unique_ptr<FolderClaim> claim(const QString& dir, Reporter& reporter)
{
    auto claimed = std::make_unique<FolderClaim>(dir);
    if (claimed->held())
        return claimed;
    if (claimed->why().isEmpty())
        return nullptr;
    reporter.note(QString("Cannot tell whether another watch converts %1 (%2): watching it anyway.")
                      .arg(NativeName::printable(dir), claimed->why()));
    return claimed;
}

// Which files were taken already, by name and identity. An event for the
// same file (one written while the first pass listed it) is not a new
// screenshot; a file written again since, or renamed onto the name, is.
class Session {
public:
    Session(const ParallelConverter::Settings& settings, Reporter& reporter, const QString& inputDir)
        : m_converter(withInput(settings, inputDir), reporter), m_dir(inputDir)
    {
    }

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
    static ParallelConverter::Settings withInput(ParallelConverter::Settings settings, const QString& inputDir)
    {
        settings.files.inputDir = inputDir;
        return settings;
    }

    QString path(const QString& name) const { return ScreenshotList::pathIn(m_dir, name); }

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

    ParallelConverter m_converter;
    QString m_dir;
    QHash<QString, FileIdentity> m_handled; // taken, or left alone by --new-only
};

// One input folder: what was taken from it, and its watcher.
class WatchedFolder {
public:
    WatchedFolder(const ParallelConverter::Settings& settings, Reporter& reporter, const QString& dir,
                  std::unique_ptr<FolderClaim> claim)
        : m_claim(std::move(claim)), m_session(settings, reporter, dir), m_watcher(dir), m_reporter(reporter),
          m_dir(dir), m_outputDir(settings.files.outputDir)
    {
        const QString shown = NativeName::printable(dir);
        QObject::connect(&m_watcher, &FolderWatcher::filesReady,
                         [this](const QStringList& names) { m_session.convert(&names); });
        QObject::connect(&m_watcher, &FolderWatcher::overflowed, [this, &reporter, shown] {
            reporter.note(QString("Too many changes at once in %1: looking at every file again.").arg(shown));
            m_session.convert(nullptr);
        });
        QObject::connect(&m_watcher, &FolderWatcher::directoryLost, [&reporter, shown] {
            reporter.note(QString("The input directory %1 is gone; waiting for it to come back.").arg(shown));
        });
        QObject::connect(&m_watcher, &FolderWatcher::directoryBack, [this, &reporter, shown] {
            // What was written while it was away is new too.
            reporter.note(QString("The input directory %1 is back; watching it again.").arg(shown));
            m_session.convert(nullptr);
        });
        QObject::connect(&m_watcher, &FolderWatcher::notice, [&reporter](const QString& line) { reporter.note(line); });
        QObject::connect(&m_watcher, &FolderWatcher::failed, [&reporter](const QString& reason) {
            reporter.error("framewright-convert: " + reason);
            QCoreApplication::exit(kFailed);
        });
    }

    // Watching starts before the first pass, so that nothing finished during
    // the pass is missed; what is left alone is recorded before either. A
    // bitmap that a dead converter had set aside is put back after both:
    // it is owed a JPEG, and its return is an event like any other.
    FolderWatcher::Start start(bool newOnly)
    {
        if (newOnly)
            m_session.leaveAlone();
        const FolderWatcher::Start started = m_watcher.start();
        if (started == FolderWatcher::Start::Watching)
            recoverFolder(m_dir, m_outputDir, m_reporter);
        return started;
    }

    bool convertAll() { return m_session.convert(nullptr); }

private:
    std::unique_ptr<FolderClaim> m_claim; // held for as long as the folder is watched
    Session m_session;
    FolderWatcher m_watcher;
    Reporter& m_reporter;
    QString m_dir;
    QString m_outputDir;
};

} // namespace

int watchAndConvert(const ParallelConverter::Settings& settings, const QStringList& inputDirs, bool newOnly,
                    Reporter& reporter)
{
    reporter.setWatching(true);
    Interrupts::exitEventLoopOnInterrupt();

    std::vector<std::unique_ptr<WatchedFolder>> folders;
    std::vector<WatchedFolder*> present;
    for (const QString& dir : ModFolders::expand(inputDirs)) {
        auto claimed = claim(dir, reporter);
        if (!claimed) {
            reporter.error(QString("framewright-convert: another watch converts %1 already; this one ends.")
                               .arg(NativeName::printable(dir)));
            return kWatchedElsewhere;
        }
        folders.push_back(std::make_unique<WatchedFolder>(settings, reporter, dir, std::move(claimed)));
        const FolderWatcher::Start started = folders.back()->start(newOnly);
        if (started == FolderWatcher::Start::Failed)
            return kFailed;
        reporter.note(QString("Watching %1").arg(NativeName::printable(dir)));
        if (started == FolderWatcher::Start::Watching)
            present.push_back(folders.back().get());
    }

    // A mod installed later brings a folder of its own.
    QStringList gameFolders = inputDirs;
    gameFolders.removeIf([](const QString& dir) { return ModFolders::under(dir).isEmpty(); });
    for (const QString& game : gameFolders)
        reporter.note(QString("Watching %1 for new mod folders").arg(NativeName::printable(game)));
    ModFolderFinder finder(gameFolders, ModFolders::expand(inputDirs));
    QObject::connect(&finder, &ModFolderFinder::found, [&](const QString& dir) {
        auto claimed = claim(dir, reporter);
        if (!claimed) {
            reporter.note(QString("Not watching the new mod folder %1: another watch converts it.")
                              .arg(NativeName::printable(dir)));
            return;
        }
        folders.push_back(std::make_unique<WatchedFolder>(settings, reporter, dir, std::move(claimed)));
        reporter.note(QString("Watching %1 as well: a new mod folder").arg(NativeName::printable(dir)));
        if (folders.back()->start(false) == FolderWatcher::Start::Watching)
            folders.back()->convertAll();
    });
    reporter.note("Stop with Ctrl-C.");

    for (WatchedFolder* folder : present) {
        if (!folder->convertAll())
            return Interrupts::received() ? Interrupts::exitCode() : kFailed;
    }
    if (Interrupts::received())
        return Interrupts::exitCode();
    return QCoreApplication::exec();
}
