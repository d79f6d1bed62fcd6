// FolderWatcher on Linux: inotify reports the moment a writer closes a file,
// so no file is read half-written and no waiting for its size is needed.
#include "FolderWatcher.h"

#include "core/NativeName.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr int kLookAgainMs = 250;
constexpr uint32_t kCompleteFile = IN_CLOSE_WRITE | IN_MOVED_TO;
constexpr uint32_t kDirectoryGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

} // namespace

struct FolderWatcher::State {
    QString directory;
    int fd = -1;
    int initError = 0;
    int watch = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer lookAgain;

    ~State()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

FolderWatcher::FolderWatcher(const QString& directory, QObject* parent)
    : QObject(parent), m_state(std::make_unique<State>())
{
    State& s = *m_state;
    s.directory = directory;
    s.fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    s.initError = s.fd < 0 ? errno : 0;
    s.lookAgain.setInterval(kLookAgainMs);
    connect(&s.lookAgain, &QTimer::timeout, this, [this] {
        if (start() == Start::Watching)
            emit directoryBack();
    });
    if (s.fd < 0)
        return;
    s.notifier = std::make_unique<QSocketNotifier>(s.fd, QSocketNotifier::Read);
    connect(s.notifier.get(), &QSocketNotifier::activated, this, [this] {
        State& s = *m_state;
        QStringList names;
        bool gone = false;
        bool overflow = false;
        alignas(inotify_event) char buffer[16 * 1024];
        ssize_t length;
        while ((length = ::read(s.fd, buffer, sizeof buffer)) > 0) {
            for (const char* p = buffer; p < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                // The overflow event belongs to no watch (wd is -1).
                if (event->mask & IN_Q_OVERFLOW)
                    overflow = true;
                if (event->wd == s.watch && (event->mask & kCompleteFile) && event->len > 0)
                    names << NativeName::decode(QByteArray(event->name));
                if (event->wd == s.watch && (event->mask & kDirectoryGone))
                    gone = true;
                p += sizeof(inotify_event) + event->len;
            }
        }
        if (overflow && !gone)
            emit overflowed(); // looks at every file, those named here too
        else if (!names.isEmpty())
            emit filesReady(names);
        if (gone) {
            ::inotify_rm_watch(s.fd, s.watch);
            s.watch = -1;
            emit directoryLost();
            s.lookAgain.start();
        }
    });
}

FolderWatcher::~FolderWatcher() = default;

FolderWatcher::Start FolderWatcher::start()
{
    State& s = *m_state;
    if (s.fd < 0) {
        emit failed("cannot start watching: "
                    + (s.initError == EMFILE ? QString("the system's limit of inotify instances is reached "
                                                       "(fs.inotify.max_user_instances)")
                                             : systemError(s.initError)));
        return Start::Failed;
    }
    if (s.watch < 0) {
        s.watch = ::inotify_add_watch(s.fd, NativeName::encode(s.directory).constData(),
                                      kCompleteFile | kDirectoryGone | IN_ONLYDIR);
        if (s.watch < 0 && errno != ENOENT) {
            // Not a directory, no permission, or the system's limit of
            // watches: waiting would not help.
            const QString why = errno == ENOTDIR  ? QString("it is not a directory")
                                : errno == ENOSPC ? QString("the system's limit of inotify watches is reached "
                                                            "(fs.inotify.max_user_watches)")
                                                  : systemError(errno);
            s.lookAgain.stop();
            emit failed(QString("cannot watch %1: %2").arg(NativeName::printable(s.directory), why));
            return Start::Failed;
        }
    }
    if (s.watch >= 0) {
        s.lookAgain.stop();
        return Start::Watching;
    }
    if (!s.lookAgain.isActive()) {
        emit directoryLost();
        s.lookAgain.start();
    }
    return Start::Missing;
}
