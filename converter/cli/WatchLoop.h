#pragma once

#include <QString>

class ParallelConverter;
class Reporter;

// --watch: converts what the input directory holds (unless newOnly), then
// each screenshot once it is complete, until SIGINT or SIGTERM. Returns the
// exit code: 130 or 143.
int watchAndConvert(ParallelConverter& converter, const QString& inputDir, bool newOnly, Reporter& reporter);
