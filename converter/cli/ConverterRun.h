#pragma once

#include <QStringList>

// framewright-convert's whole run, from its arguments (the program's name
// first) to its exit code; the program's main and the windowless watch share
// it. Needs a QCoreApplication.
int runConverter(const QStringList& arguments);
