#include "Interrupts.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>
#include <csignal>
#include <windows.h>

namespace Interrupts {

namespace {

std::atomic<int> g_signal{0};
std::atomic<bool> g_exitLoop{false};

// Runs on a thread of its own that the console starts.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE; // closing the console or logging off: the default
    interrupt(SIGINT);
    return TRUE;
}

} // namespace

void interrupt(int signal)
{
    g_signal.store(signal);
    if (g_exitLoop.load())
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::exit(exitCode()); }, Qt::QueuedConnection);
}

void install() { SetConsoleCtrlHandler(onConsoleEvent, TRUE); }

int received() { return g_signal.load(); }

int exitCode() { return 128 + g_signal.load(); }

void exitEventLoopOnInterrupt() { g_exitLoop.store(true); }

} // namespace Interrupts
