#pragma once

#include <cstdint>

// Timing helpers shared by the conversion run and the window.
namespace mChrono {

// Milliseconds from a monotonic clock. 64 bits wide, so deadlines computed
// from it never wrap (a 32-bit tick count wraps after 24.8 days).
std::int64_t TickCount();

// Handles the pending window events once, when an application object exists.
void ProcessEvents();

// Handles the pending window events, or sleeps until one arrives, for at most
// ms milliseconds. Without an application object it only sleeps.
void WaitForEvents(int ms);

// Waits limitMs milliseconds while the window keeps handling its events.
// Returns at once, handling nothing, for a limit of 0 or less.
void Pause(int limitMs);

// Blocks the calling thread (no event handling).
void Sleep(int ms);

} // namespace mChrono
