#include "core/Recovery.h"

#include "core/PrivateName.h"
#include "core/Retire.h"
#include "core/ScreenshotFormat.h"
#include "core/ScreenshotList.h"
#include "core/os/NativeFile.h"

#include <QFile>

namespace Recovery {

namespace {

// A bitmap set aside by an older version, whose name says nothing of its
// own: it is kept under a name of ours, with the extension its bytes ask for.
// Read through the descriptor that holds it: on Windows no second open of
// it could succeed.
QString nameForUnnamed(int held)
{
    QFile file;
    const QByteArray head = file.open(held, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)
                                ? file.read(ScreenshotFormats::markLength())
                                : QByteArray();
    return QStringLiteral("recovered0000") + ScreenshotFormats::startingWith(head).suffix();
}

// Whether the JPEG the record names is in the output folder, and is the
// very one that was about to be named: its content has the fingerprint.
// Its bytes were flushed before the record was made, so a JPEG cut short
// by a power cut does not match.
bool jpegWasNamed(const PrivateName& aside, const QString& outputDir)
{
    const QString jpeg = ScreenshotList::pathIn(
        outputDir, ScreenshotList::candidateName(ScreenshotList::jpegPrefix(aside.own), aside.journal->number));
    NativeFile::Status status;
    const NativeFile::Descriptor file = NativeFile::openForReading(jpeg, status);
    QFile reader;
    if (!file || !NativeFile::isRegularFile(file.get())
        || !reader.open(file.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return false;
    const QByteArray bytes = reader.readAll();
    return jpegFingerprint({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())})
           == aside.journal->fingerprint;
}

} // namespace

Recovered recover(const QString& folder, const QString& outputDir)
{
    Recovered recovered;
    for (const QString& name : NativeFile::regularFiles(folder)) {
        const std::optional<PrivateName> mine = PrivateName::parse(name);
        if (!mine)
            continue;
        const QString path = ScreenshotList::pathIn(folder, name);
        NativeFile::Status status;
        const NativeFile::Descriptor held = NativeFile::openIfOrphaned(path, status);
        if (!held)
            continue; // in use by a live converter, or gone
        if (mine->kind == PrivateName::Kind::Temporary) {
            // Never named: its JPEG is written again when its bitmap is.
            if (NativeFile::removeHeld(held.get(), path))
                ++recovered.temporariesRemoved;
            continue;
        }
        const QString own = mine->own.isEmpty() ? nameForUnnamed(held.get()) : mine->own;
        if (mine->journal && !mine->own.isEmpty() && jpegWasNamed(*mine, outputDir)
            && NativeFile::removeHeld(held.get(), path)) {
            recovered.deleted << own;
            continue;
        }
        const Retire::Outcome back =
            Retire::putBack(&held, path, ScreenshotList::pathIn(folder, own), Retire::Fate::Changed);
        if (back.fate == Retire::Fate::Changed)
            recovered.bitmaps << own;
        else if (back.fate == Retire::Fate::KeptAs)
            recovered.bitmaps << back.keptName;
    }
    return recovered;
}

} // namespace Recovery
