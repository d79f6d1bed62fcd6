#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// How the system schedules each thread of a running process, read from the
// outside, as the game next to it would feel it. ThreadPriorityLinux.cpp
// and ThreadPriorityWindows.cpp.
namespace clitest {

struct ThreadPriority {
    QString thread;     // its id, to say which one
    bool idleProcessor; // Linux: SCHED_IDLE; Windows: the idle class or background mode
    bool idleDisk;      // Linux: the idle I/O class; Windows: as idleProcessor (background mode is both)
    QString shown;      // what was read, for a failure's message
};

std::vector<ThreadPriority> threadPriorities(qint64 pid);

} // namespace clitest
