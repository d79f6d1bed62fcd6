#include "FolderRecovery.h"

#include "Reporter.h"
#include "core/NativeName.h"
#include "core/Recovery.h"

void recoverFolder(const QString& folder, Reporter& reporter)
{
    const Recovery::Recovered found = Recovery::recover(folder);
    for (const QString& name : found.bitmaps)
        reporter.note(
            QString("Put back %1: a converter had stopped while it was set aside.").arg(NativeName::printable(name)));
    if (found.temporariesRemoved > 0)
        reporter.note(QString("Removed %1 unfinished JPEG file(s) that a converter had left in %2.")
                          .arg(found.temporariesRemoved)
                          .arg(NativeName::printable(folder)));
}
