#include "core/Directories.h"

#include "core/os/NativeFile.h"

namespace Directories {

bool exists(const QString& path)
{
#ifdef Q_OS_WIN
    if (path.size() < 3)
        return false;
#endif
    return NativeFile::isDirectory(path);
}

} // namespace Directories
