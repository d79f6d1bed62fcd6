#pragma once

#include <QString>

class ParallelConverter;
class Reporter;

// --watch: converts what the input directory holds (unless newOnly), then
// each screenshot once it is complete, until SIGINT or SIGTERM. Returns the
// exit code: 130 or 143 after a signal, 1 when the directory cannot be
// watched at all (not a directory, the system's limits) or no thread starts.
int watchAndConvert(ParallelConverter& converter, const QString& inputDir, bool newOnly, Reporter& reporter);
