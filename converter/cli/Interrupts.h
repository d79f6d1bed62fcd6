#pragma once

// Ctrl-C (SIGINT) and SIGTERM ask the converter to stop: the handler only
// records the signal, and the run finishes or abandons its files in flight
// at a safe point, so that no temporary file is left and no bitmap is
// deleted without its JPEG.
namespace Interrupts {

void install();

// The signal received, or 0.
int received();

// 128 plus the signal's number: 130 for SIGINT, 143 for SIGTERM.
int exitCode();

// Becomes readable when a signal arrives, for an event loop to wake on.
int wakeDescriptor();

} // namespace Interrupts
