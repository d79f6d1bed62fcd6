#include "ThreadPriority.h"

#include <memory>
#include <type_traits>
#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>

namespace clitest {

namespace {

// A thread's base priority in the idle class, and what background mode
// gives every thread; the normal class gives 8.
constexpr LONG kIdleBase = 4;

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};

} // namespace

std::vector<ThreadPriority> threadPriorities(qint64 pid)
{
    std::vector<ThreadPriority> threads;
    const std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser> snapshot(
        CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (bool more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != DWORD(pid))
            continue;
        const bool idle = entry.tpBasePri <= kIdleBase;
        threads.push_back({QString::number(entry.th32ThreadID), idle, idle,
                           QString("thread %1: base priority %2").arg(entry.th32ThreadID).arg(entry.tpBasePri)});
    }
    return threads;
}

} // namespace clitest
