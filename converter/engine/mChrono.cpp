#include "engine/mChrono.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

namespace mChrono {

namespace {
// Without an event queue to wake us, the waits check their condition this often.
constexpr int kSleepStepMs = 10;

bool onEventThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->thread() == QThread::currentThread();
}
} // namespace

std::int64_t TickCount()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void ProcessEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void WaitForEvents(int ms)
{
    if (ms <= 0)
        return;
    if (!onEventThread()) {
        Sleep(std::min(ms, kSleepStepMs));
        return;
    }
    // The timer wakes the event queue at the limit when nothing else does,
    // so the thread sleeps instead of polling.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(ms);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void Pause(int limitMs)
{
    const std::int64_t deadline = TickCount() + limitMs;
    for (std::int64_t now = TickCount(); now < deadline; now = TickCount())
        WaitForEvents(static_cast<int>(deadline - now));
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

} // namespace mChrono
