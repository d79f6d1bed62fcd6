#pragma once

#include <QString>

class Reporter;

// Recovers what a converter that died left in a folder (see core/Recovery.h)
// and says what it found. A bitmap put back is converted in its turn, like
// any other in the folder; one whose JPEG was named in `outputDir` is
// deleted, as the converter that died was about to.
void recoverFolder(const QString& folder, const QString& outputDir, Reporter& reporter);
