#pragma once

// Ctrl-C (SIGINT) and SIGTERM ask the converter to stop, as do Ctrl+C and
// Ctrl+Break in a Windows console (counted as SIGINT): the handler only
// records the interrupt, and the run finishes or abandons its files in
// flight at a safe point, so that no temporary file is left and no bitmap is
// deleted without its JPEG. InterruptsPosix.cpp and InterruptsWindows.cpp
// are the two platforms' ways of hearing it.
namespace Interrupts {

// Also makes a write over a file-size limit fail (EFBIG) instead of ending
// the program in the middle of a file.

void install();

// The signal received, or 0.
int received();

// 128 plus the signal's number: 130 for SIGINT, 143 for SIGTERM.
int exitCode();

// Counts as the signal received: for a stop asked for by other means than a
// signal (the windowless watch's stop request). Safe from any thread.
void interrupt(int signal);

// From now on, an interrupt also ends the running event loop, with
// exitCode(). Call on the event loop's thread.
void exitEventLoopOnInterrupt();

} // namespace Interrupts
