#include "window/DataFile.h"

#include "engine/mFileOp.h"

#include <QDir>

QString DataFile(const QString& programDir, const QString& name)
{
    const QString beside = mFileOp::FormatPath(programDir) + name;
    if (mFileOp::FileExists(beside))
        return beside;
    const QString shared = QDir::cleanPath(programDir + QStringLiteral("/../share/framewright/") + name);
    return mFileOp::FileExists(shared) ? QDir::toNativeSeparators(shared) : beside;
}
