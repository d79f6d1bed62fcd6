#include "core/Recovery.h"

#include "core/Retire.h"
#include "core/os/NativeFile.h"

#include <QDir>
#include <QFile>

namespace Recovery {

namespace {

// ".fw-" and six random characters, then what the file is.
constexpr int kRandomEnd = 10;

// A bitmap set aside by an older version, whose name says nothing of its
// own: it is kept under a name of ours, with the extension its bytes ask for.
// Read through the descriptor that holds it: on Windows no second open of
// it could succeed.
QString nameForUnnamed(int held)
{
    QFile file;
    const bool bitmap = file.open(held, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) && file.read(2) == "BM";
    return bitmap ? QStringLiteral("recovered0000.bmp") : QStringLiteral("recovered0000.tga");
}

} // namespace

Recovered recover(const QString& folder)
{
    Recovered recovered;
    const QDir dir(folder);
    for (const QString& name : NativeFile::regularFiles(folder)) {
        const QString kind = name.mid(kRandomEnd);
        const bool temporary = kind == QLatin1String(".tmp");
        const bool unnamed = kind == QLatin1String(".del");
        if (!name.startsWith(QLatin1String(".fw-")) || (!temporary && !unnamed && !kind.startsWith(Retire::kAsideMark)))
            continue;
        const QString path = dir.filePath(name);
        NativeFile::Status status;
        const NativeFile::Descriptor held = NativeFile::openIfOrphaned(path, status);
        if (!held)
            continue; // in use by a live converter, or gone
        if (temporary) {
            // Never named: its JPEG is written again when its bitmap is.
            if (NativeFile::remove(path))
                ++recovered.temporariesRemoved;
            continue;
        }
        const QString own = unnamed ? nameForUnnamed(held.get()) : kind.mid(Retire::kAsideMark.size());
        const Retire::Outcome back = Retire::putBack(path, dir.filePath(own), Retire::Fate::Changed);
        if (back.fate == Retire::Fate::Changed)
            recovered.bitmaps << own;
        else if (back.fate == Retire::Fate::KeptAs)
            recovered.bitmaps << back.keptName;
    }
    return recovered;
}

} // namespace Recovery
