#include "core/SafeFile.h"

#include "core/os/NativeFile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <optional>
#include <utility>

namespace SafeFile {

namespace {

Result failed(const NativeFile::Status& status) { return {Outcome::Failed, status.message()}; }

// Creates a new temporary file in the directory; its name lands in
// `temporary`.
NativeFile::Descriptor createTemporary(const QString& directory, QString& temporary, NativeFile::Status& status)
{
    NativeFile::Descriptor file;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = privateName(directory, QStringLiteral(".tmp"));
        file = NativeFile::createNew(temporary, status);
        if (status.error != NativeFile::Error::NameTaken)
            break;
    }
    return file;
}

// Moves the temporary file to the target's name.
NativeFile::Status publish(const QString& temporary, const QString& target, Publish mode)
{
    return mode == Publish::Replace ? NativeFile::replace(temporary, target)
                                    : NativeFile::moveNoReplace(temporary, target);
}

Result resultOf(const NativeFile::Status& status)
{
    if (status.error == NativeFile::Error::NameTaken)
        return {Outcome::NameTaken, {}};
    return status ? Result{Outcome::Written, {}} : failed(status);
}

} // namespace

QString privateName(const QString& directory, const QString& suffix)
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = QStringLiteral(".fw-");
    for (int i = 0; i < 6; ++i)
        name += QChar(kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet) - 1)]);
    return directory + QChar('/') + name + suffix;
}

Result write(const QString& target, std::span<const std::uint8_t> bytes, Publish mode)
{
    const bool replacing = mode == Publish::Replace && NativeFile::entryExists(target);
    const std::optional<NativeFile::Kept> kept = replacing ? NativeFile::keptOf(target) : std::nullopt;

    QString temporary;
    NativeFile::Status status;
    NativeFile::Descriptor file = createTemporary(QFileInfo(target).absolutePath(), temporary, status);
    if (!file)
        return failed(status);

    // Everything that could fail happens before the name is taken: the
    // bytes, the kept permissions and times, and, when a file is replaced,
    // the flush, so that a crash cannot leave an empty file where a whole
    // one was. A new name has nothing to lose that way; who needs it on the
    // disk flushes it (the run does, before it deletes a bitmap).
    status = NativeFile::writeAll(file.get(), bytes);
    if (status && kept)
        status = NativeFile::applyKept(file.get(), *kept);
    if (status && replacing)
        status = NativeFile::sync(file.get());
    if (const NativeFile::Status closed = file.close(); status)
        status = closed;
    if (status)
        status = publish(temporary, target, mode);
    if (!status)
        NativeFile::remove(temporary);
    return resultOf(status);
}

Prepared prepare(const QString& directory, std::span<const std::uint8_t> bytes)
{
    Prepared prepared;
    QString temporary;
    NativeFile::Status status;
    NativeFile::Descriptor file = createTemporary(QFileInfo(directory).absoluteFilePath(), temporary, status);
    if (!file) {
        prepared.m_error = status.message();
        return prepared;
    }
    status = NativeFile::writeAll(file.get(), bytes);
    if (const NativeFile::Status closed = file.close(); status)
        status = closed;
    if (!status) {
        NativeFile::remove(temporary);
        prepared.m_error = status.message();
        return prepared;
    }
    prepared.m_temporary = temporary;
    return prepared;
}

Result Prepared::publish(const QString& target)
{
    const Result result = resultOf(NativeFile::moveNoReplace(m_temporary, target));
    if (result.outcome == Outcome::Written)
        m_temporary.clear();
    return result;
}

Prepared::~Prepared()
{
    if (!m_temporary.isEmpty())
        NativeFile::remove(m_temporary);
}

bool flushToDisk(const QString& path) { return bool(NativeFile::flushToDisk(path)); }

Prepared::Prepared(Prepared&& other) noexcept
    : m_temporary(std::exchange(other.m_temporary, {})), m_error(std::move(other.m_error))
{
}

Prepared& Prepared::operator=(Prepared&& other) noexcept
{
    Prepared gone(std::move(*this)); // removes a file this one held
    m_temporary = std::exchange(other.m_temporary, {});
    m_error = std::move(other.m_error);
    return *this;
}

} // namespace SafeFile
