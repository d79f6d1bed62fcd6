#include "core/Retire.h"

#include "core/NativeName.h"
#include "core/PrivateName.h"
#include "core/ScreenshotFormat.h"
#include "core/ScreenshotList.h"

#include <utility>

namespace Retire {

namespace {

struct Place {
    QString directory;
    QString name;
};

Place placeOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QChar('/'));
    return {path.left(slash + 1), path.mid(slash + 1)};
}

// The extension a kept screenshot is named with: its format's.
QString extensionOf(const QString& name)
{
    const ScreenshotFormat* format = ScreenshotFormats::of(name);
    return format ? format->suffix() : QString();
}

} // namespace

Outcome putBack(const NativeFile::Descriptor* held, const QString& aside, const QString& bitmapPath, Fate why)
{
    const auto move = [&](const QString& to) {
        return held ? NativeFile::moveHeld(held->get(), aside, to) : NativeFile::moveNoReplace(aside, to);
    };
    if (held)
        NativeFile::setHidden(held->get(), false);
    if (move(bitmapPath))
        return {why, {}, {}};
    const Place place = placeOf(bitmapPath);
    const QString prefix = ScreenshotList::namePrefix(place.name);
    const QString extension = extensionOf(place.name);
    for (int n = 0; n < ScreenshotList::kNumberCount; ++n) {
        const QString kept = ScreenshotList::candidateName(prefix, n, extension);
        const NativeFile::Status status = move(ScreenshotList::pathIn(place.directory, kept));
        if (status)
            return {Fate::KeptAs, kept, {}};
        if (status.error != NativeFile::Error::NameTaken)
            break;
    }
    if (held)
        NativeFile::setHidden(held->get(), true);
    return {
        Fate::CannotDelete, {}, QStringLiteral("it changed, and it is kept as %1").arg(NativeName::printable(aside))};
}

Retirement::Retirement(QString bitmapPath, std::shared_ptr<NativeFile::Descriptor> read, const FileIdentity& identity)
    : m_bitmap(std::move(bitmapPath)), m_read(std::move(read)), m_identity(identity)
{
}

Retirement::~Retirement()
{
    if (!m_aside.isEmpty())
        putBack(m_read.get(), m_aside, m_bitmap, Fate::Changed);
}

void Retirement::keep(Outcome outcome)
{
    m_kept = std::move(outcome);
    m_aside.clear();
}

void Retirement::beforeNaming(int number, std::span<const std::uint8_t> jpeg, bool flushed)
{
    if (m_kept)
        return;
    const Place place = placeOf(m_bitmap);
    const PrivateName::Journal journal{number, jpegFingerprint(jpeg)};
    const auto asideFor = [&] {
        return ScreenshotList::pathIn(place.directory, PrivateName::aside(place.name, journal).fileName());
    };
    if (!m_aside.isEmpty()) {
        // The number it was about to take went to another writer: the
        // record follows the JPEG to the next one.
        NativeFile::Status moved{NativeFile::Error::NameTaken};
        QString renamed;
        for (int attempt = 0; attempt < 16 && moved.error == NativeFile::Error::NameTaken; ++attempt)
            moved = NativeFile::moveHeld(m_read->get(), m_aside, renamed = asideFor());
        if (moved) {
            m_aside = renamed;
            NativeFile::syncName(m_read->get(), m_aside);
            return;
        }
        const Outcome back = putBack(m_read.get(), m_aside, m_bitmap, Fate::CannotDelete);
        return keep({Fate::CannotDelete, back.keptName, moved.message()});
    }
    if (!flushed)
        return keep({Fate::NotDurable, {}, {}});
    if (!m_read || !*m_read)
        return keep({Fate::CannotDelete, {}, QStringLiteral("it is no longer open")});

    const int held = m_read->get();
    QString aside;
    NativeFile::Status moved{NativeFile::Error::NameTaken};
    for (int attempt = 0; attempt < 16 && moved.error == NativeFile::Error::NameTaken; ++attempt)
        moved = NativeFile::moveHeld(held, m_bitmap, aside = asideFor());
    switch (moved.error) {
    case NativeFile::Error::None: break;
    case NativeFile::Error::NotFound: return keep({Fate::AlreadyGone, {}, {}});
    case NativeFile::Error::InUse: return keep({Fate::StillWritten, {}, {}}); // Windows: a writer refuses the move
    case NativeFile::Error::NotTheFile: return keep(putBack(nullptr, aside, m_bitmap, Fate::Changed));
    default: return keep({Fate::CannotDelete, {}, moved.message()});
    }
    // Held as private: a converter recovering the folder leaves it alone.
    // One that took it first (for a dead converter's) has put it back.
    if (!NativeFile::holdAsPrivate(held, aside))
        return keep({Fate::Changed, {}, {}});
    if (!NativeFile::identityOf(held).hasSameContent(m_identity))
        return keep(putBack(m_read.get(), aside, m_bitmap, Fate::Changed));
    if (NativeFile::writerOf(held) == NativeFile::Writer::Writing)
        return keep(putBack(m_read.get(), aside, m_bitmap, Fate::StillWritten));
    NativeFile::setHidden(held, true);
    // On the disk before the JPEG's name is: after a power cut, a JPEG
    // with a name has its bitmap's record beside it.
    NativeFile::syncName(held, aside);
    m_aside = aside;
}

Outcome Retirement::finish(const SafeFile::Result& jpeg)
{
    if (m_kept)
        return *m_kept;
    if (m_aside.isEmpty())
        return {Fate::CannotDelete, {}, QStringLiteral("its JPEG was not written")};
    const QString aside = std::exchange(m_aside, {});
    if (jpeg.outcome != SafeFile::Outcome::Written)
        return putBack(m_read.get(), aside, m_bitmap, Fate::Changed);
    if (!jpeg.durable)
        return putBack(m_read.get(), aside, m_bitmap, Fate::NotDurable);
    if (const NativeFile::Status removed = NativeFile::removeHeld(m_read->get(), aside); !removed) {
        const Outcome back = putBack(m_read.get(), aside, m_bitmap, Fate::Changed);
        return {Fate::CannotDelete, back.keptName, removed.message()};
    }
    // Windows deletes it as this, the last handle that does not share
    // deleting, closes.
    m_read->close();
    return {Fate::Deleted, {}, {}};
}

Published publish(const QString& outputDir, const QString& prefix, int from, const JpegWriter& write, int end,
                  Retirement* retirement)
{
    Published p;
    for (int n = from;; ++n) {
        const std::optional<int> free = ScreenshotList::firstFreeNumber(outputDir, prefix, n, end);
        if (!free) {
            p.result = {SafeFile::Outcome::Failed, QStringLiteral("the output folder cannot be reached")};
            return p;
        }
        n = p.number = *free;
        if (n >= end) {
            p.result = {SafeFile::Outcome::NameTaken, {}};
            return p;
        }
        p.jpegPath = ScreenshotList::pathIn(outputDir, ScreenshotList::candidateName(prefix, n));
        SafeFile::BeforeNaming beforeNaming;
        if (retirement)
            beforeNaming = [&](std::span<const std::uint8_t> bytes, bool flushed) {
                retirement->beforeNaming(n, bytes, flushed);
            };
        p.result = write(p.jpegPath, beforeNaming);
        if (p.result.outcome != SafeFile::Outcome::NameTaken)
            return p; // else another writer was quicker: the next number
    }
}

QString describe(const Outcome& outcome)
{
    switch (outcome.fate) {
    case Fate::Deleted: return {};
    case Fate::AlreadyGone: return QStringLiteral("was gone before it could be deleted");
    case Fate::Changed: return QStringLiteral("kept: it changed while it was being converted");
    case Fate::StillWritten: return QStringLiteral("kept: it is still being written");
    case Fate::KeptAs:
        return QStringLiteral("kept as %1: it changed while it was being converted")
            .arg(NativeName::printable(outcome.keptName));
    case Fate::NotDurable: return QStringLiteral("kept: its JPEG could not be confirmed");
    case Fate::CannotDelete: return QStringLiteral("kept: it could not be deleted (%1)").arg(outcome.reason);
    }
    return {};
}

} // namespace Retire
