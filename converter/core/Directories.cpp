#include "core/Directories.h"

#include <QFileInfo>

namespace Directories {

bool exists(const QString& path)
{
#ifdef Q_OS_WIN
    if (path.size() < 3)
        return false;
#endif
    return QFileInfo(path).isDir();
}

} // namespace Directories
