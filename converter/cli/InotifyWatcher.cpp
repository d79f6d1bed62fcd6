// FolderWatcher on Linux: inotify reports the moment a writer closes a file,
// so no file is read half-written and no waiting for its size is needed.
#include "FolderWatcher.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr int kLookAgainMs = 250;
constexpr uint32_t kCompleteFile = IN_CLOSE_WRITE | IN_MOVED_TO;
constexpr uint32_t kDirectoryGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

} // namespace

struct FolderWatcher::State {
    QString directory;
    int fd = -1;
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
    s.lookAgain.setInterval(kLookAgainMs);
    connect(&s.lookAgain, &QTimer::timeout, this, [this] {
        if (start())
            emit directoryBack();
    });
    if (s.fd < 0)
        return;
    s.notifier = std::make_unique<QSocketNotifier>(s.fd, QSocketNotifier::Read);
    connect(s.notifier.get(), &QSocketNotifier::activated, this, [this] {
        State& s = *m_state;
        QStringList names;
        bool gone = false;
        alignas(inotify_event) char buffer[16 * 1024];
        ssize_t length;
        while ((length = ::read(s.fd, buffer, sizeof buffer)) > 0) {
            for (const char* p = buffer; p < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->wd == s.watch && (event->mask & kCompleteFile) && event->len > 0)
                    names << QFile::decodeName(event->name);
                if (event->wd == s.watch && (event->mask & kDirectoryGone))
                    gone = true;
                p += sizeof(inotify_event) + event->len;
            }
        }
        if (!names.isEmpty())
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

bool FolderWatcher::start()
{
    State& s = *m_state;
    if (s.fd >= 0 && s.watch < 0)
        s.watch = ::inotify_add_watch(s.fd, QFile::encodeName(s.directory).constData(),
                                      kCompleteFile | kDirectoryGone | IN_ONLYDIR);
    if (s.watch >= 0) {
        s.lookAgain.stop();
        return true;
    }
    if (!s.lookAgain.isActive()) {
        emit directoryLost();
        s.lookAgain.start();
    }
    return false;
}
