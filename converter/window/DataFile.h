#pragma once

#include <QString>

// Where a data file of the program (the skin) lies. A build tree and a
// personal install keep it beside the program; a system install puts it in
// <prefix>/share/framewright while the program sits in <prefix>/bin. The
// program's own directory wins when both hold the file; when neither does,
// the answer is the path beside the program, the place a user is told about.
QString DataFile(const QString& programDir, const QString& name);
