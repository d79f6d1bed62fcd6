#include "Interrupts.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace Interrupts {

namespace {

std::atomic<int> g_signal{0};
int g_wake[2] = {-1, -1};

static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

extern "C" void onSignal(int signal)
{
    const int saved = errno;
    g_signal.store(signal);
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_wake[1], &byte, 1);
    errno = saved;
}

} // namespace

void install()
{
    if (::pipe(g_wake) == 0) {
        for (const int fd : g_wake) {
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
        }
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls: a file being written when the signal comes is written
    // whole, and the run stops after it.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

void interrupt(int signal) { onSignal(signal); }

int received() { return g_signal.load(); }

int exitCode() { return 128 + g_signal.load(); }

void exitEventLoopOnInterrupt()
{
    static QSocketNotifier wake(g_wake[0], QSocketNotifier::Read);
    QObject::connect(&wake, &QSocketNotifier::activated, [] { QCoreApplication::exit(exitCode()); });
}

} // namespace Interrupts
