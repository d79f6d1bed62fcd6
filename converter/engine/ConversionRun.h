#pragma once

#include "RunHost.h"

#include <QString>

// The conversion run behind the Convert button, and the window procedures
// that it shares with start-up.

// "half0007.bmp" -> "half": the name less its last 8 characters, or "" for
// a name of 8 characters or fewer.
QString GetNamePrefix(const QString& fileName);

// The number at the start of a caption such as "05 %" (-> 5), rounded to an
// integer; 0 when the caption holds no number.
int QualityFromCaption(const QString& caption);

// True when both directories exist, after offering to create a missing
// output directory. Shows its own messages.
bool ValidateProcess(RunHost& host);

// Runs the whole conversion of the host's FileList. Returns true when the run
// reached "Done.", false when it did not start or ended on a failed file.
bool RunConversion(RunHost& host);

// Bitmaps smaller than this are not screenshots worth converting.
inline constexpr qint64 kMinBitmapBytes = 360000;
