#include "IdlePriority.h"

#include <QDir>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <windows.h>
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

#elif defined(Q_OS_WIN)

QString lower()
{
    // Background mode lowers the processor, disk and memory priorities of the
    // whole process, its later threads included. Where it is refused (Wine),
    // the idle class still keeps the processor for the game.
    if (SetPriorityClass(GetCurrentProcess(), PROCESS_MODE_BACKGROUND_BEGIN)
        || SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS))
        return {};
    return QStringLiteral("system error %1").arg(GetLastError());
}

#else

QString lower() { return QStringLiteral("not on this system"); }

#endif

} // namespace IdlePriority
