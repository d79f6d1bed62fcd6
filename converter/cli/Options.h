#pragma once

#include "core/JpegEncoder.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the user asked for on the command line. Values not given stay empty
// and are filled in from the stored settings or the first-start search.
struct Options {
    QStringList inputDirs;
    QString outputDir;
    std::optional<int> quality;
    int jobs = 1;
    bool deleteAfter = false;
    bool dryRun = false;
    bool watch = false;
    bool newOnly = false;
    bool normalPriority = false; // a watch at the usual priority instead of the idle one
    bool quiet = false;
    JpegEncoder::Coding coding = JpegEncoder::Coding::StandardTables;
};

// The outcome of reading the arguments: options to run with, or an exit code
// (0 after --help or --version, 2 after a usage error, its message already
// written to stderr).
struct ParsedOptions {
    std::optional<Options> options;
    int exitCode = 0;
};

ParsedOptions parseOptions(const QStringList& arguments);
