#include "core/SourceFile.h"

#include "core/NativeName.h"
#include "core/ReadError.h"

#include <QThread>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Long enough for a writer that pauses between its chunks to show up, short
// enough not to matter beside the encoding.
constexpr int kSettleMs = 100;

#ifndef Q_OS_WIN
FileIdentity identityFrom(const struct stat& st)
{
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size),
            std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}
#endif

} // namespace

namespace WriterProbe {

#ifndef Q_OS_WIN

State probe(int fd)
{
#ifdef F_SETLEASE
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        // Held for no longer than this: a writer opening it now would have
        // to wait for us, and we would be sent a signal.
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return State::Closed;
    }
    if (errno == EAGAIN)
        return State::Writing;
#else
    (void)fd;
#endif
    return State::Unknown;
}

FileIdentity identityOf(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? identityFrom(st) : FileIdentity{};
}

#else

// Windows denies a second writer through share modes instead; the settle
// check does the rest.
State probe(int) { return State::Unknown; }

#endif

} // namespace WriterProbe

#ifndef Q_OS_WIN

std::optional<FileIdentity> identityOfFile(const QString& path)
{
    struct stat st {};
    if (::stat(NativeName::encode(path).constData(), &st) != 0)
        return std::nullopt;
    return identityFrom(st);
}

SourceFile::SourceFile(const QString& path)
{
    const int fd = ::open(NativeName::encode(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            throw ReadError(path, "file not found");
        throw ReadError(path, std::string("cannot read file (") + std::strerror(errno) + ")");
    }
    // QFile owns the descriptor from here on and closes it.
    m_file.setFileName(path);
    if (!m_file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw ReadError(path, "cannot read file");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw ReadError(path, "cannot read file (not a regular file)");

    switch (WriterProbe::probe(fd)) {
    case WriterProbe::State::Writing: throw StillBeingWritten(path);
    case WriterProbe::State::Unknown: {
        const FileIdentity before = WriterProbe::identityOf(fd);
        QThread::msleep(kSettleMs);
        if (!WriterProbe::identityOf(fd).isSameFile(before))
            throw StillBeingWritten(path);
        break;
    }
    case WriterProbe::State::Closed: break;
    }
    m_identity = WriterProbe::identityOf(fd);
}

void SourceFile::checkUnchanged() const
{
    const int fd = m_file.handle();
    if (!WriterProbe::identityOf(fd).isSameFile(m_identity) || WriterProbe::probe(fd) == WriterProbe::State::Writing)
        throw StillBeingWritten(m_file.fileName());
}

#else

std::optional<FileIdentity> identityOfFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return FileIdentity{0, 0, info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
}

SourceFile::SourceFile(const QString& path) : m_file(path)
{
    if (!m_file.exists())
        throw ReadError(path, "file not found");
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ReadError(path, "cannot read file (" + m_file.errorString().toStdString() + ")");
    const auto identify = [&] {
        const QFileInfo info(path);
        return FileIdentity{0, 0, info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
    };
    const FileIdentity before = identify();
    QThread::msleep(kSettleMs);
    m_identity = identify();
    if (!m_identity.isSameFile(before))
        throw StillBeingWritten(path);
}

void SourceFile::checkUnchanged() const
{
    const QFileInfo info(m_file.fileName());
    if (!FileIdentity{0, 0, info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000}.isSameFile(m_identity))
        throw StillBeingWritten(m_file.fileName());
}

#endif
