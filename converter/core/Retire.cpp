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

QString inDirectory(const QString& directory, const QString& name)
{
    if (directory.isEmpty() || directory.endsWith(QChar('/')) || directory.endsWith(QChar('\\')))
        return directory + name;
    return directory + QChar('/') + name;
}

// The bitmap waits under a private name for a moment while it is checked.
// The name says what it is, and its own name, so that a converter that
// finds it after a crash can put it back: ".fw-k3x9q2.del.c1a00003.bmp".
QString asideName(const QString& bitmapPath)
{
    const QFileInfo info(bitmapPath);
    // The private part takes 15 of the 255 bytes a name may have: a longer
    // name gives up its start, and keeps its number and extension.
    QString name = info.fileName();
    while (NativeName::encode(name).size() > 240)
        name.remove(0, 1);
    return SafeFile::privateName(info.path(), kAsideMark + name);
}

} // namespace

#ifndef Q_OS_WIN

Outcome putBack(const QByteArray& aside, const QString& bitmapPath, Fate why)
{
    if (SafeFile::moveNoReplace(aside, NativeName::encode(bitmapPath)) == 0)
        return {why, {}, {}};
    const QFileInfo info(bitmapPath);
    const QString name = info.fileName();
    const QString prefix = ScreenshotList::namePrefix(name);
    const QString extension = name.right(4);
    for (int n = 0; n < 10000; ++n) {
        const QString kept = prefix + QStringLiteral("%1").arg(n, 4, 10, QChar('0')) + extension;
        const int error = SafeFile::moveNoReplace(aside, NativeName::encode(inDirectory(info.path(), kept)));
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
        p.jpegPath = inDirectory(outputDir, ScreenshotList::candidateName(prefix, n));
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

    // The picture read is the link's target, which may be anywhere; the
    // link is not a screenshot of its own. Both stay.
    const QByteArray bitmap = NativeName::encode(bitmapPath);
    struct stat st {};
    if (::lstat(bitmap.constData(), &st) == 0 && S_ISLNK(st.st_mode))
        return {Fate::Link, {}, {}};
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
    // The lock, held until the file is deleted or back, tells a converter
    // recovering the folder that it is in use. One that took it first (it
    // took this converter for a dead one) has put it back already.
    const int fd = ::open(aside.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0 || !SafeFile::lockWhileNamed(fd, aside)) {
        if (fd >= 0)
            ::close(fd);
        return {Fate::Changed, {}, {}};
    }
    const bool same = WriterProbe::identityOf(fd) == read;
    const bool written = same && WriterProbe::probe(fd) == WriterProbe::State::Writing;
    Outcome outcome{Fate::Deleted, {}, {}};
    if (!same || written) {
        outcome = putBack(aside, bitmapPath, written ? Fate::StillWritten : Fate::Changed);
    } else if (::unlink(aside.constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        outcome = {Fate::CannotDelete, putBack(aside, bitmapPath, Fate::Changed).keptName, why};
    }
    ::close(fd);
    return outcome;
}

#else

// Windows: the same steps; a file's identity there is its size and time.
Outcome retireBitmap(const QString& jpegPath, const QString& bitmapPath, const FileIdentity& read)
{
    if (!SafeFile::flushToDisk(jpegPath))
        return {Fate::NotDurable, {}, {}};
    if (QFileInfo(bitmapPath).isSymLink())
        return {Fate::Link, {}, {}};
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
    case Fate::StillWritten: return QStringLiteral("kept: it is still being written");
    case Fate::Link: return QStringLiteral("kept: a symbolic link and the file it points to are never deleted");
    case Fate::KeptAs:
        return QStringLiteral("kept as %1: it changed while it was being converted")
            .arg(NativeName::printable(outcome.keptName));
    case Fate::NotDurable: return QStringLiteral("kept: its JPEG could not be confirmed");
    case Fate::CannotDelete: return QStringLiteral("kept: it could not be deleted (%1)").arg(outcome.reason);
    }
    return {};
}

} // namespace Retire
