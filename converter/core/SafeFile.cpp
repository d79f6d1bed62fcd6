#include "core/SafeFile.h"

#include "core/PrivateName.h"
#include "core/ScreenshotList.h"
#include "core/os/NativeFile.h"

#include <QFileInfo>

#include <optional>
#include <utility>

namespace SafeFile {

namespace {

Result failed(const NativeFile::Status& status) { return {Outcome::Failed, status.message()}; }

Result resultOf(const NativeFile::Status& status)
{
    if (status.error == NativeFile::Error::NameTaken)
        return {Outcome::NameTaken, {}};
    return status ? Result{Outcome::Written, {}} : failed(status);
}

// Creates a new temporary file in the directory, held as private (see
// NativeFile::holdAsPrivate) for as long as the descriptor is open. The
// name lands in `temporary`.
NativeFile::Descriptor createTemporary(const QString& directory, QString& temporary, NativeFile::Status& status)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = ScreenshotList::pathIn(directory, PrivateName::temporary().fileName());
        NativeFile::Descriptor file = NativeFile::createPrivate(temporary, status);
        if (status.error == NativeFile::Error::NameTaken)
            continue;
        if (!file || NativeFile::holdAsPrivate(file.get(), temporary))
            return file;
        // A recovering converter took it for a dead one's: another name.
    }
    status = {NativeFile::Error::NameTaken};
    return {};
}

// Replaces the target: everything that could fail happens before the name
// is taken (the bytes, the kept permissions and times, the flush).
Result replaceWith(const QString& target, std::span<const std::uint8_t> bytes)
{
    const std::optional<NativeFile::Kept> kept = NativeFile::keptOf(target);
    QString temporary;
    NativeFile::Status status;
    NativeFile::Descriptor file = createTemporary(QFileInfo(target).absolutePath(), temporary, status);
    if (!file)
        return failed(status);
    status = NativeFile::writeAll(file.get(), bytes);
    if (status && kept)
        status = NativeFile::applyKept(file.get(), *kept);
    if (status)
        status = NativeFile::sync(file.get());
    if (status)
        status = NativeFile::setHidden(file.get(), false);
    if (const NativeFile::Status closed = file.close(); status)
        status = closed;
    if (status)
        status = NativeFile::replace(temporary, target);
    if (!status)
        NativeFile::remove(temporary);
    return resultOf(status);
}

} // namespace

Result write(const QString& target, std::span<const std::uint8_t> bytes, Publish mode, const BeforeNaming& beforeNaming)
{
    if (mode == Publish::Replace)
        return replaceWith(target, bytes);
    Prepared prepared =
        prepare(QFileInfo(target).absolutePath(), bytes, beforeNaming ? Durability::Now : Durability::Later);
    if (!prepared)
        return {Outcome::Failed, prepared.error()};
    if (beforeNaming)
        beforeNaming(bytes, prepared.flushed());
    return prepared.publish(target);
}

Prepared prepare(const QString& directory, std::span<const std::uint8_t> bytes, Durability durability)
{
    Prepared prepared;
    NativeFile::Status status;
    NativeFile::Descriptor file =
        createTemporary(QFileInfo(directory).absoluteFilePath(), prepared.m_temporary, status);
    if (file)
        status = NativeFile::writeAll(file.get(), bytes);
    if (!status) {
        if (file)
            NativeFile::removeHeld(file.get(), prepared.m_temporary);
        prepared.m_error = status.message();
        return prepared;
    }
    // Through the descriptor that wrote them: a write-behind failure of a
    // network folder shows here, before anything depends on the file.
    prepared.m_flushed = durability == Durability::Now && NativeFile::sync(file.get());
    prepared.m_file = std::move(file);
    return prepared;
}

Result Prepared::publish(const QString& target)
{
    // Shown before it is named, so that no crash leaves a hidden JPEG.
    NativeFile::setHidden(m_file.get(), false);
    const NativeFile::Status moved = NativeFile::moveHeld(m_file.get(), m_temporary, target);
    if (!moved) {
        NativeFile::setHidden(m_file.get(), true);
        return moved.error == NativeFile::Error::NotTheFile ? failed(moved) : resultOf(moved);
    }
    const bool durable = m_flushed && NativeFile::syncName(m_file.get(), target);
    m_temporary.clear();
    // The last close: where it fails, what the file holds is not known, and
    // nothing may rely on it.
    if (const NativeFile::Status closed = m_file.close(); !closed) {
        NativeFile::remove(target);
        return failed(closed);
    }
    return {Outcome::Written, {}, durable};
}

Prepared::~Prepared()
{
    if (m_file)
        NativeFile::removeHeld(m_file.get(), m_temporary);
}

Prepared& Prepared::operator=(Prepared&& other) noexcept
{
    Prepared gone(std::move(*this)); // removes a file this one held
    m_temporary = std::exchange(other.m_temporary, {});
    m_error = std::move(other.m_error);
    m_file = std::move(other.m_file);
    m_flushed = other.m_flushed;
    return *this;
}

} // namespace SafeFile
