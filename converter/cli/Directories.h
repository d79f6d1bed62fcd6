#pragma once

#include "Options.h"

#include <QString>
#include <QStringList>

// The directories and quality of a run, each from the first place that has
// it: the command line, Framewright's saved settings, the first-start search.
// A watch with no folder named stands in for the window: it follows the whole
// game the window finds, with the window's saved Delete choice too.
struct RunSetup {
    QStringList inputDirs; // as named: a game's folder stands for its mod folders
    QString outputDir;
    int quality = 90;
    bool deleteAfter = false;
    QStringList origins; // one line per directory saying where it came from
};

RunSetup chooseDirectories(const Options& options);
