#pragma once

#include "engine/RunHost.h"

#include <QString>

// The conversion run behind the Convert button, and the window procedures
// that it shares with start-up.

// "half0007.bmp" -> "half": the name less its last 8 characters, or "" for
// a name of 8 characters or fewer.
QString GetNamePrefix(const QString& fileName);

// The decimal number a text begins with, rounded to an integer with halves
// to even: "05 %" -> 5, the quality a caption shows; 0 when there is none.
// Values beyond the int range are clamped to it.
int NumberAtStart(const QString& text);

// True when both directories exist, after offering to create a missing
// output directory. Shows its own messages.
bool ValidateProcess(RunHost& host);

// Runs the whole conversion of the host's FileList. Returns true when the run
// reached "Done.", false when it did not start or ended on a failed file.
bool RunConversion(RunHost& host);

// Bitmaps smaller than this are not screenshots worth converting.
inline constexpr qint64 kMinBitmapBytes = 360000;
