// FolderWatcher where inotify is missing: QFileSystemWatcher says that the
// directory changed, and a file counts as complete once its size and time
// have stayed the same over one look-again interval.
#include "FolderWatcher.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QTimer>

namespace {

constexpr int kLookAgainMs = 500;

struct Seen {
    qint64 size = -1;
    QDateTime modified;
    bool reported = false;
    bool operator==(const Seen& o) const { return size == o.size && modified == o.modified; }
};

} // namespace

struct FolderWatcher::State {
    QString directory;
    QFileSystemWatcher watcher;
    QTimer lookAgain;
    QHash<QString, Seen> files;
    bool present = false;
};

FolderWatcher::FolderWatcher(const QString& directory, QObject* parent)
    : QObject(parent), m_state(std::make_unique<State>())
{
    State& s = *m_state;
    s.directory = directory;
    s.lookAgain.setInterval(kLookAgainMs);
    const auto look = [this] {
        State& s = *m_state;
        if (!QFileInfo(s.directory).isDir()) {
            if (s.present) {
                s.present = false;
                s.files.clear();
                emit directoryLost();
            }
            return;
        }
        if (!s.present) {
            s.watcher.addPath(s.directory);
            s.present = true;
            emit directoryBack();
        }
        QStringList ready;
        QHash<QString, Seen> now;
        for (const QFileInfo& f : QDir(s.directory).entryInfoList(QDir::Files)) {
            Seen seen{f.size(), f.lastModified(), false};
            const auto before = s.files.constFind(f.fileName());
            if (before != s.files.constEnd() && *before == seen) {
                seen.reported = true;
                if (!before->reported)
                    ready << f.fileName();
            }
            now.insert(f.fileName(), seen);
        }
        s.files = now;
        if (!ready.isEmpty())
            emit filesReady(ready);
    };
    connect(&s.watcher, &QFileSystemWatcher::directoryChanged, this, look);
    connect(&s.lookAgain, &QTimer::timeout, this, look);
}

FolderWatcher::~FolderWatcher() = default;

FolderWatcher::Start FolderWatcher::start()
{
    State& s = *m_state;
    const QFileInfo info(s.directory);
    if (info.exists() && !info.isDir()) {
        emit failed(QString("cannot watch %1: it is not a directory").arg(s.directory));
        return Start::Failed;
    }
    s.present = info.isDir();
    if (s.present) {
        s.watcher.addPath(s.directory);
        // What is there now is not new: only later changes count.
        for (const QFileInfo& f : QDir(s.directory).entryInfoList(QDir::Files))
            s.files.insert(f.fileName(), Seen{f.size(), f.lastModified(), true});
    } else {
        emit directoryLost();
    }
    s.lookAgain.start();
    return s.present ? Start::Watching : Start::Missing;
}
