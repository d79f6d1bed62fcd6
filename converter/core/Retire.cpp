#include "core/Retire.h"

#include "core/NativeName.h"
#include "core/ScreenshotList.h"
#include "core/os/NativeFile.h"

#include <QFileInfo>

namespace Retire {

namespace {

// The bitmap waits under a private name for a moment while it is checked.
QString asideName(const QString& bitmapPath)
{
    return SafeFile::privateName(QFileInfo(bitmapPath).path(), QStringLiteral(".del"));
}

// Puts a bitmap that must stay back under its name, or under the same name
// with the lowest free number when another file took the name meanwhile.
Outcome putBack(const QString& aside, const QString& bitmapPath)
{
    if (NativeFile::moveNoReplace(aside, bitmapPath))
        return {Fate::Changed, {}, {}};
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

// Whether the file under the private name is the one that was read, and no
// writer holds it. Nobody else knows the name: what is checked is what is
// deleted.
bool isTheFileRead(const QString& aside, const FileIdentity& read)
{
    NativeFile::Status status;
    const NativeFile::Descriptor fd = NativeFile::openForReading(aside, status, NativeFile::Links::DoNotFollow);
    return fd && NativeFile::identityOf(fd.get()).isSameFile(read)
           && NativeFile::writerOf(fd.get()) != NativeFile::Writer::Writing;
}

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

Outcome retireBitmap(const QString& jpegPath, const QString& bitmapPath, const FileIdentity& read)
{
    if (!SafeFile::flushToDisk(jpegPath))
        return {Fate::NotDurable, {}, {}};

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
        return {Fate::Changed, {}, {}};
    if (!moved)
        return {Fate::CannotDelete, {}, moved.message()};

    if (!isTheFileRead(aside, read))
        return putBack(aside, bitmapPath);
    if (const NativeFile::Status removed = NativeFile::remove(aside); !removed) {
        const Outcome back = putBack(aside, bitmapPath);
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
    case Fate::KeptAs:
        return QStringLiteral("kept as %1: it changed while it was being converted")
            .arg(NativeName::printable(outcome.keptName));
    case Fate::NotDurable: return QStringLiteral("kept: its JPEG could not be confirmed");
    case Fate::CannotDelete: return QStringLiteral("kept: it could not be deleted (%1)").arg(outcome.reason);
    }
    return {};
}

} // namespace Retire
