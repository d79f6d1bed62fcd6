#pragma once

#include <QString>

class Reporter;

// Recovers what a converter that died left in a folder (see core/Recovery.h)
// and says what it found. A bitmap put back is converted in its turn, like
// any other in the folder.
void recoverFolder(const QString& folder, Reporter& reporter);
