#include "core/SafeFile.h"

#include "core/NativeName.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#ifdef Q_OS_WIN
#include <QDateTime>
#include <io.h>
#include <windows.h>
#else
#include <cstdio> // renameat2
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace SafeFile {

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

Result failed(const QString& why) { return {Outcome::Failed, why}; }

#ifndef Q_OS_WIN

// A file descriptor closed on every way out.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now; a failed close can mean lost data (NFS), so it is reported.
    bool reset()
    {
        const bool ok = m_fd < 0 || ::close(m_fd) == 0;
        m_fd = -1;
        return ok;
    }

private:
    int m_fd;
};

QByteArray native(const QString& path) { return NativeName::encode(path); }

// Every byte or an error: write() may take only part of a buffer (a full
// disk, a quota, a size limit), and the next call then tells why.
bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

// The new file takes over the old one's permission bits and its access and
// modification times. Linux keeps no settable birth time.
bool applyKept(int fd, const struct stat& kept)
{
    const timespec times[2] = {kept.st_atim, kept.st_mtim};
    return ::fchmod(fd, kept.st_mode & 07777) == 0 && ::futimens(fd, times) == 0;
}

// Moves the temporary file to the target's name; errno says why not.
Outcome publish(const QByteArray& temporary, const QByteArray& target, Publish mode)
{
    if (mode == Publish::Replace)
        return ::rename(temporary.constData(), target.constData()) == 0 ? Outcome::Written : Outcome::Failed;
    errno = moveNoReplace(temporary, target);
    return errno == 0 ? Outcome::Written : errno == EEXIST ? Outcome::NameTaken : Outcome::Failed;
}

// Creates a new temporary file in the directory, locked as in use; its
// name lands in `temporary`. Closed (-1) with errno set when it cannot.
int createTemporary(const QString& directory, QByteArray& temporary)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = native(privateName(directory, QStringLiteral(".tmp")));
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return -1;
        if (fd >= 0 && lockWhileNamed(fd, temporary))
            return fd;
        if (fd >= 0)
            ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// A second descriptor of the same open file keeps its lock while the first
// one is closed, so that the close's error is still seen.
int lockKeeper(int fd) { return ::fcntl(fd, F_DUPFD_CLOEXEC, 0); }

#endif

} // namespace

QString privateName(const QString& directory, const QString& suffix)
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = QStringLiteral(".fw-");
    for (int i = 0; i < 6; ++i)
        name += QChar(kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet) - 1)]);
    return directory + QChar('/') + name + suffix;
}

#ifndef Q_OS_WIN

bool namesFile(const QByteArray& name, int fd)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(name.constData(), &named) == 0 && held.st_dev == named.st_dev
           && held.st_ino == named.st_ino;
}

bool lockWhileNamed(int fd, const QByteArray& name)
{
    // Where locks are not kept (some network file systems) nobody can
    // recover the file either: it stays the maker's.
    return ::flock(fd, LOCK_SH) != 0 || namesFile(name, fd);
}

int moveNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    ::unlink(from.constData());
    return 0;
}

Result write(const QString& target, std::span<const std::uint8_t> bytes, Publish mode)
{
    const QByteArray targetName = native(target);
    struct stat existing {};
    const bool replacing = mode == Publish::Replace && ::stat(targetName.constData(), &existing) == 0;
    std::optional<struct stat> kept;
    if (replacing && S_ISREG(existing.st_mode))
        kept = existing;

    QByteArray temporary;
    Fd file(createTemporary(QFileInfo(target).absolutePath(), temporary));
    if (file.get() < 0)
        return failed(systemError(errno));
    const Fd lock(lockKeeper(file.get()));

    // Everything that could fail happens before the name is taken: the
    // bytes, the kept permissions and times, and, when a file is replaced,
    // the flush, so that a crash cannot leave an empty file where a whole
    // one was. A new name has nothing to lose that way; who needs it on the
    // disk flushes it (the run does, before it deletes a bitmap).
    const bool ready = writeAll(file.get(), bytes) && (!kept || applyKept(file.get(), *kept))
                       && (!replacing || ::fsync(file.get()) == 0) && file.reset();
    Outcome outcome = ready ? publish(temporary, targetName, mode) : Outcome::Failed;
    const int error = errno;
    if (outcome != Outcome::Written)
        ::unlink(temporary.constData());
    if (outcome == Outcome::Failed)
        return failed(systemError(error));
    return {outcome, {}};
}

Prepared prepare(const QString& directory, std::span<const std::uint8_t> bytes)
{
    Prepared prepared;
    QByteArray temporary;
    Fd file(createTemporary(QFileInfo(directory).absoluteFilePath(), temporary));
    if (file.get() < 0) {
        prepared.m_error = systemError(errno);
        return prepared;
    }
    prepared.m_lock = lockKeeper(file.get());
    if (!writeAll(file.get(), bytes) || !file.reset()) {
        prepared.m_error = systemError(errno);
        ::unlink(temporary.constData());
        prepared.unlock();
        return prepared;
    }
    prepared.m_temporary = NativeName::decode(temporary);
    return prepared;
}

Result Prepared::publish(const QString& target)
{
    const Outcome outcome = SafeFile::publish(native(m_temporary), native(target), Publish::NoReplace);
    if (outcome == Outcome::Failed)
        return failed(systemError(errno));
    if (outcome == Outcome::Written) {
        m_temporary.clear();
        unlock();
    }
    return {outcome, {}};
}

Prepared::~Prepared()
{
    if (!m_temporary.isEmpty())
        ::unlink(native(m_temporary).constData());
    unlock();
}

void Prepared::unlock()
{
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
}

bool flushToDisk(const QString& path)
{
    const Fd file(::open(native(path).constData(), O_RDONLY | O_CLOEXEC)); // fsync needs no write access
    if (file.get() < 0 || ::fsync(file.get()) != 0)
        return false;
    // The rename that put the file in place lives in its directory.
    const Fd dir(::open(native(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return false;
    return ::fsync(dir.get()) == 0 || errno == EINVAL || errno == EROFS;
}

#else

// Windows: the same steps through the Win32 calls. MoveFileEx without
// MOVEFILE_REPLACE_EXISTING never replaces an existing name.
Result write(const QString& target, std::span<const std::uint8_t> bytes, Publish mode)
{
    const QFileInfo existing(target);
    const bool keep = mode == Publish::Replace && existing.isFile();
    const auto permissions = existing.permissions();
    const QDateTime created = existing.birthTime(), accessed = existing.lastRead(), modified = existing.lastModified();

    QFile file;
    for (int attempt = 0; attempt < 16 && !file.isOpen(); ++attempt) {
        file.setFileName(privateName(QFileInfo(target).absolutePath(), QStringLiteral(".tmp")));
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    }
    if (!file.isOpen())
        return failed(file.errorString());
    const auto size = static_cast<qint64>(bytes.size());
    bool ready = file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
    if (ready && keep) {
        file.setFileTime(created, QFileDevice::FileBirthTime);
        file.setFileTime(accessed, QFileDevice::FileAccessTime);
        file.setFileTime(modified, QFileDevice::FileModificationTime);
        file.setPermissions(permissions);
    }
    ready = ready && (!existing.exists() || mode == Publish::NoReplace || _commit(file.handle()) == 0);
    const QString why = file.errorString();
    file.close();

    Outcome outcome = Outcome::Failed;
    if (ready) {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (mode == Publish::Replace ? MOVEFILE_REPLACE_EXISTING : 0);
        if (MoveFileExW(reinterpret_cast<LPCWSTR>(file.fileName().utf16()), reinterpret_cast<LPCWSTR>(target.utf16()),
                        flags))
            outcome = Outcome::Written;
        else if (const DWORD e = GetLastError(); e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS)
            outcome = Outcome::NameTaken;
    }
    if (outcome != Outcome::Written)
        file.remove();
    return {outcome, outcome == Outcome::Failed ? why : QString()};
}

Prepared prepare(const QString& directory, std::span<const std::uint8_t> bytes)
{
    Prepared prepared;
    QFile file;
    for (int attempt = 0; attempt < 16 && !file.isOpen(); ++attempt) {
        file.setFileName(privateName(QFileInfo(directory).absoluteFilePath(), QStringLiteral(".tmp")));
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.isOpen() || file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        prepared.m_error = file.errorString();
        file.remove();
        return prepared;
    }
    file.close();
    prepared.m_temporary = file.fileName();
    return prepared;
}

Result Prepared::publish(const QString& target)
{
    if (MoveFileExW(reinterpret_cast<LPCWSTR>(m_temporary.utf16()), reinterpret_cast<LPCWSTR>(target.utf16()),
                    MOVEFILE_WRITE_THROUGH)) {
        m_temporary.clear();
        return {Outcome::Written, {}};
    }
    if (const DWORD e = GetLastError(); e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS)
        return {Outcome::NameTaken, {}};
    return failed(QStringLiteral("cannot rename %1").arg(m_temporary));
}

Prepared::~Prepared()
{
    if (!m_temporary.isEmpty())
        QFile::remove(m_temporary);
}

void Prepared::unlock() {}

bool flushToDisk(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) && _commit(file.handle()) == 0;
}

#endif

Prepared::Prepared(Prepared&& other) noexcept
    : m_temporary(std::exchange(other.m_temporary, {})), m_error(std::move(other.m_error)),
      m_lock(std::exchange(other.m_lock, -1))
{
}

Prepared& Prepared::operator=(Prepared&& other) noexcept
{
    Prepared gone(std::move(*this)); // removes a file this one held
    m_temporary = std::exchange(other.m_temporary, {});
    m_error = std::move(other.m_error);
    m_lock = std::exchange(other.m_lock, -1);
    return *this;
}

} // namespace SafeFile
