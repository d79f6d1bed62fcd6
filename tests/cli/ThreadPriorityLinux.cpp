#include "ThreadPriority.h"

#include <QDir>
#include <QFile>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace clitest {

namespace {

constexpr int kWhoProcess = 1; // IOPRIO_WHO_PROCESS: one thread, by its id
constexpr int kClassIdle = 3;
constexpr int kClassShift = 13;
constexpr int kPolicyField = 41; // stat(5): "policy"

// A field of /proc/<pid>/task/<tid>/stat, counted from 1; the command name
// (field 2) may hold spaces, so fields are counted after its ')'.
QString statField(const QString& statFile, int field)
{
    QFile file(statFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLatin1(file.readAll());
    const QStringList after = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return after.value(field - 3);
}

} // namespace

std::vector<ThreadPriority> threadPriorities(qint64 pid)
{
    std::vector<ThreadPriority> threads;
    const QString tasks = QString("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const int policy = statField(tasks + '/' + tid + "/stat", kPolicyField).toInt();
        const long ioprio = ::syscall(SYS_ioprio_get, kWhoProcess, tid.toInt());
        threads.push_back({tid, policy == SCHED_IDLE, ioprio >= 0 && (ioprio >> kClassShift) == kClassIdle,
                           QString("thread %1: policy %2, I/O priority %3").arg(tid).arg(policy).arg(ioprio)});
    }
    return threads;
}

} // namespace clitest
