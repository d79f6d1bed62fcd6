#pragma once

#include "core/ScreenshotList.h"
#include "engine/RunHost.h"

#include <QString>

// The conversion run behind the Convert button, and the procedures that it
// shares with start-up.

// "half0007.bmp" -> "half".
inline QString GetNamePrefix(const QString& fileName) { return ScreenshotList::namePrefix(fileName); }

// True when both directories exist, after offering to create a missing
// output directory. Shows its own messages.
bool ValidateProcess(RunHost& host);

// Converts the host's screenshots. Returns true when the run reached
// "Done.", false when it did not start or ended on a failed file.
bool RunConversion(RunHost& host);
