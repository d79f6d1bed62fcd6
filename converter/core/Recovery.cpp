#include "core/Recovery.h"

#include "core/NativeName.h"
#include "core/Retire.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QFile>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Recovery {

namespace {

#ifndef Q_OS_WIN

// ".fw-" and six random characters, then what the file is.
constexpr int kRandomEnd = 10;

// A bitmap set aside by an older version, whose name says nothing of its
// own: it is kept under a name of ours, with the extension its bytes ask for.
QString nameForUnnamed(const QString& path)
{
    QFile file(path);
    const bool bitmap = file.open(QIODevice::ReadOnly) && file.read(2) == "BM";
    return bitmap ? QStringLiteral("recovered0000.bmp") : QStringLiteral("recovered0000.tga");
}

// The descriptor of a private file that no live converter holds, locked
// whole for the time of the recovery; -1 when it is in use or gone.
int lockIfOrphaned(const QByteArray& path)
{
    // Not following a link, and not waiting for whatever else a name could
    // stand for (a FIFO): only regular files are ours.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
        && SafeFile::namesFile(path, fd))
        return fd;
    ::close(fd);
    return -1;
}

#endif

} // namespace

Recovered recover(const QString& folder)
{
    Recovered recovered;
#ifndef Q_OS_WIN
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral(".fw-*")}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString kind = name.mid(kRandomEnd);
        const bool temporary = kind == QLatin1String(".tmp");
        const bool unnamed = kind == QLatin1String(".del");
        if (!temporary && !unnamed && !kind.startsWith(Retire::kAsideMark))
            continue;
        const QString path = dir.filePath(name);
        const QByteArray native = NativeName::encode(path);
        const int fd = lockIfOrphaned(native);
        if (fd < 0)
            continue;
        if (temporary) {
            // Never named: its JPEG is written again when its bitmap is.
            if (::unlink(native.constData()) == 0)
                ++recovered.temporariesRemoved;
        } else {
            const QString own = unnamed ? nameForUnnamed(path) : kind.mid(Retire::kAsideMark.size());
            const Retire::Outcome back = Retire::putBack(native, dir.filePath(own), Retire::Fate::Changed);
            if (back.fate == Retire::Fate::Changed)
                recovered.bitmaps << own;
            else if (back.fate == Retire::Fate::KeptAs)
                recovered.bitmaps << back.keptName;
        }
        ::close(fd);
    }
#else
    (void)folder;
#endif
    return recovered;
}

} // namespace Recovery
