#pragma once

#include "core/SafeFile.h"

#include <QString>

class cDIBSection;

// The error number of every JPEG writer failure.
inline constexpr int kJpegErrorNumber = 26001;

// Encodes the image's pixels, read in place, into a JPEG file at the given
// quality (passed to the encoder unchanged). Returns true when the file is
// written; every failure is raised as AppError 26001 with the source
// "<executable>.mIntelJPEGLibrary". A file that already has the name is
// replaced only once the new one is complete, and the new file takes over
// its permissions and times.
bool SaveToJPG(const cDIBSection& image, const QString& fileName, int quality);

enum class NewJpg { Written, NameTaken };

// As SaveToJPG, but never replaces anything: when any entry (a file, a
// directory, a link) has the name, or takes it while the picture is being
// encoded, nothing is written and the result is NameTaken. Failures are
// raised as by SaveToJPG.
NewJpg SaveToNewJPG(const cDIBSection& image, const QString& fileName, int quality);

// As SaveToNewJPG, for a run that deletes its bitmaps: the JPEG is written
// durably, and beforeNaming sets the bitmap aside just before the name is
// taken (Retire::Retirement). Written, or NameTaken.
SafeFile::Result SaveToNewJPG(const cDIBSection& image, const QString& fileName, int quality,
                              const SafeFile::BeforeNaming& beforeNaming);
