#include "IdlePriority.h"

#include <QDir>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace IdlePriority {

#ifdef Q_OS_LINUX

namespace {

// From linux/ioprio.h, which glibc does not wrap.
constexpr int kWhoProcess = 1;
constexpr int kClassIdle = 3;
constexpr int kClassShift = 13;

} // namespace

QString lower()
{
    // Qt may have started threads of its own already: each is set.
    const sched_param none{};
    for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const pid_t tid = task.toInt();
        if (::sched_setscheduler(tid, SCHED_IDLE, &none) != 0
            || ::syscall(SYS_ioprio_set, kWhoProcess, tid, kClassIdle << kClassShift) != 0)
            return QString::fromLocal8Bit(std::strerror(errno));
    }
    return {};
}

#else

// Other POSIX systems have no idle class that a process may choose itself.
QString lower() { return QStringLiteral("not on this system"); }

#endif

} // namespace IdlePriority
