#include "IdlePriority.h"

#include <windows.h>

namespace IdlePriority {

QString lower()
{
    // Background mode lowers the processor, disk and memory priorities of the
    // whole process, its later threads included. Where it is refused (Wine),
    // the idle class still keeps the processor for the game.
    if (SetPriorityClass(GetCurrentProcess(), PROCESS_MODE_BACKGROUND_BEGIN)
        || SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS))
        return {};
    return QStringLiteral("system error %1").arg(GetLastError());
}

} // namespace IdlePriority
