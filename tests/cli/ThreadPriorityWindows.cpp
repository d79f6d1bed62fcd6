#include "ThreadPriority.h"

#include <memory>
#include <type_traits>
#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>

namespace clitest {

namespace {

// The base priority background mode gives every thread, as the idle class
// does a thread of the usual relative priority; the normal class gives 8.
constexpr LONG kIdleBase = 4;

struct HandleCloser {
    void operator()(HANDLE h) const
    {
        if (h && h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

} // namespace

std::vector<ThreadPriority> threadPriorities(qint64 pid)
{
    const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid)));
    const DWORD priorityClass = GetPriorityClass(process.get());
    std::vector<ThreadPriority> threads;
    const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (bool more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != DWORD(pid))
            continue;
        const Handle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
        const int relative = GetThreadPriority(thread.get());
        // Windows shows background mode only in the base priority; Wine
        // leaves that 0 and refuses background mode, but keeps the class.
        const bool idle = (entry.tpBasePri > 0 && entry.tpBasePri <= kIdleBase)
                          || (priorityClass == IDLE_PRIORITY_CLASS && relative <= THREAD_PRIORITY_NORMAL);
        threads.push_back({QString::number(entry.th32ThreadID), idle, idle,
                           QString("thread %1: class 0x%2, base priority %3, relative %4")
                               .arg(entry.th32ThreadID)
                               .arg(priorityClass, 0, 16)
                               .arg(entry.tpBasePri)
                               .arg(relative)});
    }
    return threads;
}

} // namespace clitest
