#pragma once

#include <QString>

namespace Directories {

// True when the path names an existing directory. On Windows a path shorter
// than 3 characters (a bare drive such as "C:") is never one: it names the
// drive's current directory, not its root.
bool exists(const QString& path);

} // namespace Directories
