#include "core/Retire.h"

#include "core/NativeName.h"
#include "core/ScreenshotList.h"
#include "core/os/NativeFile.h"

#include <QFileInfo>

namespace Retire {

namespace {

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

enum class Check { TheFileRead, Changed, StillWritten, TakenFirst };

// Whether the file under the private name is the one that was read, and no
// writer holds it. Nobody else knows the name: what is checked is what is
// deleted. `held` keeps it marked as in use until it is deleted or back, so
// that a converter recovering the folder leaves it alone; one that took it
// first (for a dead converter's) has put it back already.
Check check(const QString& aside, const FileIdentity& read, NativeFile::Descriptor& held)
{
    NativeFile::Status status;
    held = NativeFile::openForReading(aside, status, NativeFile::Links::DoNotFollow);
    if (status.error == NativeFile::Error::NotFound || (held && !NativeFile::holdAsPrivate(held.get(), aside)))
        return Check::TakenFirst;
    if (!held) // Windows: a writer holds it in a way that refuses us
        return status.error == NativeFile::Error::InUse ? Check::StillWritten : Check::Changed;
    if (!NativeFile::identityOf(held.get()).isSameFile(read))
        return Check::Changed;
    return NativeFile::writerOf(held.get()) == NativeFile::Writer::Writing ? Check::StillWritten : Check::TheFileRead;
}

} // namespace

Outcome putBack(const QString& aside, const QString& bitmapPath, Fate why)
{
    if (NativeFile::moveNoReplace(aside, bitmapPath))
        return {why, {}, {}};
    const QFileInfo info(bitmapPath);
    const QString name = info.fileName();
    const QString prefix = ScreenshotList::namePrefix(name);
    const QString extension = name.right(4);
    for (int n = 0; n < ScreenshotList::kNumberCount; ++n) {
        const QString kept = ScreenshotList::candidateName(prefix, n, extension);
        const NativeFile::Status status = NativeFile::moveNoReplace(aside, ScreenshotList::pathIn(info.path(), kept));
        if (status)
            return {Fate::KeptAs, kept, {}};
        if (status.error != NativeFile::Error::NameTaken)
            break;
    }
    return {
        Fate::CannotDelete, {}, QStringLiteral("it changed, and it is kept as %1").arg(NativeName::printable(aside))};
}

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

Outcome retireBitmap(const QString& jpegPath, const QString& bitmapPath, const FileIdentity& read)
{
    if (!SafeFile::flushToDisk(jpegPath))
        return {Fate::NotDurable, {}, {}};
    // The picture read is the link's target, which may be anywhere; the
    // link is not a screenshot of its own. Both stay.
    if (QFileInfo(bitmapPath).isSymLink())
        return {Fate::Link, {}, {}};

    QString aside;
    NativeFile::Status moved{NativeFile::Error::NameTaken};
    for (int attempt = 0; attempt < 16 && moved.error == NativeFile::Error::NameTaken; ++attempt) {
        aside = asideName(bitmapPath);
        moved = NativeFile::moveNoReplace(bitmapPath, aside);
    }
    if (moved.error == NativeFile::Error::NotFound)
        return {Fate::AlreadyGone, {}, {}};
    // Windows: a writer holds it in a way that refuses the move.
    if (moved.error == NativeFile::Error::InUse)
        return {Fate::StillWritten, {}, {}};
    if (!moved)
        return {Fate::CannotDelete, {}, moved.message()};

    NativeFile::Descriptor held;
    switch (check(aside, read, held)) {
    case Check::TakenFirst: return {Fate::Changed, {}, {}};
    case Check::Changed: return putBack(aside, bitmapPath, Fate::Changed);
    case Check::StillWritten: return putBack(aside, bitmapPath, Fate::StillWritten);
    case Check::TheFileRead: break;
    }
    if (const NativeFile::Status removed = NativeFile::remove(aside); !removed) {
        const Outcome back = putBack(aside, bitmapPath, Fate::Changed);
        return {Fate::CannotDelete, back.keptName, removed.message()};
    }
    return {Fate::Deleted, {}, {}};
}

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
