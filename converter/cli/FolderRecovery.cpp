#include "FolderRecovery.h"

#include "Reporter.h"
#include "core/NativeName.h"
#include "core/Recovery.h"

void recoverFolder(const QString& folder, const QString& outputDir, Reporter& reporter)
{
    const Recovery::Recovered found = Recovery::recover(folder, outputDir);
    for (const QString& name : found.bitmaps)
        reporter.note(
            QString("Put back %1: a converter had stopped while it was set aside.").arg(NativeName::printable(name)));
    for (const QString& name : found.deleted)
        reporter.note(
            QString("Deleted %1: its JPEG was written before a converter stopped.").arg(NativeName::printable(name)));
    if (found.temporariesRemoved > 0)
        reporter.note(QString("Removed %1 unfinished JPEG file(s) that a converter had left in %2.")
                          .arg(found.temporariesRemoved)
                          .arg(NativeName::printable(folder)));
}
