#include "engine/mChrono.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace mChrono {

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

void Pause(int limitMs)
{
    const std::int64_t deadline = TickCount() + limitMs;
    // Polls without sleeping, as the window expects: every pass lets pending
    // paints and moves through.
    while (TickCount() < deadline)
        ProcessEvents();
}

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace mChrono
