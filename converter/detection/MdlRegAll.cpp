#include "detection/MdlRegAll.h"

#include "core/Directories.h"

namespace MdlRegAll {

QString ReadRegFolder(const QString& registry, RegRoot root, const QString& subKey, const QString& valueName)
{
    for (const RegView view : {RegView::Native, RegView::Wow32}) {
        const QString value = ReadRegString(registry, root, view, subKey, valueName);
        if (value.isEmpty())
            continue;
        const QString folder = LocalPath(registry, value);
        if (Directories::exists(folder))
            return folder;
    }
    return {};
}

} // namespace MdlRegAll
