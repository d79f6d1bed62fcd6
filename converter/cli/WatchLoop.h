#pragma once

#include "ParallelConverter.h"

#include <QStringList>

class Reporter;

// --watch: converts what each input folder holds (unless newOnly), then each
// screenshot once it is complete, until SIGINT or SIGTERM. A game's folder
// stands for its mod folders, and a mod folder made in it later is watched
// from then on. Each folder is claimed for this watch (FolderClaim). Returns
// the exit code: 130 or 143 after a signal, 1 when a folder cannot be
// watched at all (not a directory, the system's limits) or no thread starts,
// 0 at once when another watch converts one of the folders.
int watchAndConvert(const ParallelConverter::Settings& settings, const QStringList& inputDirs, bool newOnly,
                    Reporter& reporter);
