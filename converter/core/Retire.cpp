#include "core/Retire.h"

#include "core/NativeName.h"
#include "core/ScreenshotList.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <QFile>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Retire {

namespace {

// The bitmap waits under a private name for a moment while it is checked.
QString asideName(const QString& bitmapPath)
{
    return SafeFile::privateName(QFileInfo(bitmapPath).path(), QStringLiteral(".del"));
}

#ifndef Q_OS_WIN

// Puts a bitmap that must stay back under its name, or under the same name
// with the lowest free number when another file took the name meanwhile.
Outcome putBack(const QByteArray& aside, const QString& bitmapPath)
{
    if (SafeFile::moveNoReplace(aside, NativeName::encode(bitmapPath)) == 0)
        return {Fate::Changed, {}, {}};
    const QFileInfo info(bitmapPath);
    const QString name = info.fileName();
    const QString prefix = ScreenshotList::namePrefix(name);
    const QString extension = name.right(4);
    for (int n = 0; n < ScreenshotList::kNumberCount; ++n) {
        const QString kept = ScreenshotList::candidateName(prefix, n, extension);
        const int error = SafeFile::moveNoReplace(aside, NativeName::encode(ScreenshotList::pathIn(info.path(), kept)));
        if (error == 0)
            return {Fate::KeptAs, kept, {}};
        if (error != EEXIST)
            break;
    }
    return {Fate::CannotDelete,
            {},
            QStringLiteral("it changed, and it is kept as %1").arg(NativeName::printable(NativeName::decode(aside)))};
}

#endif

} // namespace

Published publish(const QString& outputDir, const QString& prefix, int from, const JpegWriter& write, int end)
{
    Published p;
    for (int n = from;; ++n) {
        n = ScreenshotList::firstFreeNumber(outputDir, prefix, n, end);
        p.number = n;
        if (n >= end) {
            p.outcome = SafeFile::Outcome::NameTaken;
            return p;
        }
        p.jpegPath = ScreenshotList::pathIn(outputDir, ScreenshotList::candidateName(prefix, n));
        const SafeFile::Result written = write(p.jpegPath);
        if (written.outcome == SafeFile::Outcome::NameTaken)
            continue; // another writer was quicker: the next number
        p.outcome = written.outcome;
        p.error = written.error;
        return p;
    }
}

#ifndef Q_OS_WIN

Outcome retireBitmap(const QString& jpegPath, const QString& bitmapPath, const FileIdentity& read)
{
    if (!SafeFile::flushToDisk(jpegPath))
        return {Fate::NotDurable, {}, {}};

    const QByteArray bitmap = NativeName::encode(bitmapPath);
    QByteArray aside;
    int error = EEXIST;
    for (int attempt = 0; attempt < 16 && error == EEXIST; ++attempt) {
        aside = NativeName::encode(asideName(bitmapPath));
        error = SafeFile::moveNoReplace(bitmap, aside);
    }
    if (error == ENOENT)
        return {Fate::AlreadyGone, {}, {}};
    if (error != 0)
        return {Fate::CannotDelete, {}, QString::fromLocal8Bit(std::strerror(error))};

    // Nobody else knows the private name: what is checked here is what is
    // deleted. A writer that still holds the file open refuses the lease.
    const int fd = ::open(aside.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    const bool same = fd >= 0 && WriterProbe::identityOf(fd).isSameFile(read)
                      && WriterProbe::probe(fd) != WriterProbe::State::Writing;
    if (fd >= 0)
        ::close(fd);
    if (!same)
        return putBack(aside, bitmapPath);
    if (::unlink(aside.constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        const Outcome back = putBack(aside, bitmapPath);
        return {Fate::CannotDelete, back.keptName, why};
    }
    return {Fate::Deleted, {}, {}};
}

#else

// Windows: the same steps; a file's identity there is its size and time.
Outcome retireBitmap(const QString& jpegPath, const QString& bitmapPath, const FileIdentity& read)
{
    if (!SafeFile::flushToDisk(jpegPath))
        return {Fate::NotDurable, {}, {}};
    QFile bitmap(bitmapPath);
    if (!bitmap.exists())
        return {Fate::AlreadyGone, {}, {}};
    const QString aside = asideName(bitmapPath);
    if (!bitmap.rename(aside))
        return {Fate::CannotDelete, {}, bitmap.errorString()};
    const QFileInfo info(aside);
    if (info.size() != read.size || info.lastModified().toMSecsSinceEpoch() * 1000000 != read.modifiedNs) {
        if (QFile::rename(aside, bitmapPath))
            return {Fate::Changed, {}, {}};
        return {Fate::CannotDelete, {}, QStringLiteral("it changed, and it is kept as %1").arg(aside)};
    }
    QFile asideFile(aside);
    if (!asideFile.remove()) {
        const QString why = asideFile.errorString();
        if (QFile::rename(aside, bitmapPath))
            return {Fate::CannotDelete, {}, why};
        return {Fate::CannotDelete, {}, QStringLiteral("%1, and it is kept as %2").arg(why, aside)};
    }
    return {Fate::Deleted, {}, {}};
}

#endif

QString describe(const Outcome& outcome)
{
    switch (outcome.fate) {
    case Fate::Deleted: return {};
    case Fate::AlreadyGone: return QStringLiteral("was gone before it could be deleted");
    case Fate::Changed: return QStringLiteral("kept: it changed while it was being converted");
    case Fate::KeptAs:
        return QStringLiteral("kept as %1: it changed while it was being converted")
            .arg(NativeName::printable(outcome.keptName));
    case Fate::NotDurable: return QStringLiteral("kept: its JPEG could not be confirmed");
    case Fate::CannotDelete: return QStringLiteral("kept: it could not be deleted (%1)").arg(outcome.reason);
    }
    return {};
}

} // namespace Retire
