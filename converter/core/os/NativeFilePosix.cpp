#include "core/os/NativeFile.h"

#include "core/NativeName.h"

#include <cerrno>
#include <csignal>
#include <cstdio> // renameat2
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace NativeFile {

namespace {

QByteArray native(const QString& path) { return NativeName::encode(path); }

Status fromErrno(int code)
{
    switch (code) {
    case 0: return {};
    case ENOENT: return {Error::NotFound, code};
    case EEXIST: return {Error::NameTaken, code};
    case ETXTBSY: return {Error::InUse, code};
    default: return {Error::Other, code};
    }
}

Status lastError() { return fromErrno(errno); }

Status checked(bool ok) { return ok ? Status{} : lastError(); }

FileIdentity identityFrom(const struct stat& st)
{
    return {.device = std::uint64_t(st.st_dev),
            .inode = std::uint64_t(st.st_ino),
            .size = std::int64_t(st.st_size),
            .modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

Descriptor open(const QString& path, int flags, Status& status, mode_t mode = 0)
{
    Descriptor fd(::open(native(path).constData(), flags | O_CLOEXEC, mode));
    status = checked(bool(fd));
    return fd;
}

// Whether the name names the open file, or is a link to it.
bool namesFile(const QString& name, int fd)
{
    const QByteArray path = native(name);
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) != 0 || ::lstat(path.constData(), &named) != 0)
        return false;
    if (S_ISLNK(named.st_mode) && ::stat(path.constData(), &named) != 0)
        return false;
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

#ifdef F_SETLEASE
// A writer that opens the file while our lease is held makes the kernel send
// us SIGIO, whose default action ends the process: the window would vanish,
// a watch would stop. The lease is dropped at once anyway, so the signal
// says nothing that the next look would not. A handler the program
// installed itself is left alone.
void ignoreLeaseBreaks()
{
    static const bool ignored = [] {
        struct sigaction current {};
        if (::sigaction(SIGIO, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            ::signal(SIGIO, SIG_IGN);
        return true;
    }();
    (void)ignored;
}
#endif

} // namespace

QString Status::message() const { return QString::fromLocal8Bit(std::strerror(code)); }

Status Descriptor::close()
{
    const Status status = checked(m_fd < 0 || ::close(m_fd) == 0);
    m_fd = -1;
    return status;
}

Descriptor openForReading(const QString& path, Status& status)
{
    const int flags = O_RDONLY;
    // O_NONBLOCK first: a pipe swapped in under a listed name opens at once,
    // to be refused as no regular file, instead of waiting for a writer. The
    // one thing the flag makes fail is an open that another program's lease
    // holds up; that one waits for the lease, as a plain open does.
    Descriptor fd = open(path, flags | O_NONBLOCK, status);
    if (!fd && status.code == EWOULDBLOCK)
        return open(path, flags, status);
    if (fd)
        ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd;
}

Descriptor createPrivate(const QString& path, Status& status)
{
    return open(path, O_WRONLY | O_CREAT | O_EXCL, status, 0666);
}

Status writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    // write() may take only part of a buffer; the next call then tells why.
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0 ? fromErrno(EIO) : lastError();
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return {};
}

Status sync(int fd) { return checked(::fsync(fd) == 0); }

Status syncName(int, const QString& path)
{
    Status status;
    const qsizetype slash = path.lastIndexOf(QChar('/'));
    const QString directory = slash < 0 ? QStringLiteral(".") : path.left(slash + 1);
    const Descriptor dir = open(directory, O_RDONLY | O_DIRECTORY, status);
    if (!status || ::fsync(dir.get()) == 0 || errno == EINVAL || errno == EROFS)
        return status;
    return lastError();
}

bool isRegularFile(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

FileIdentity identityOf(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? identityFrom(st) : FileIdentity{};
}

std::optional<FileIdentity> identityOfPath(const QString& path)
{
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0)
        return std::nullopt;
    return identityFrom(st);
}

Presence presenceOf(const QString& path)
{
    struct stat st {};
    if (::lstat(native(path).constData(), &st) == 0)
        return Presence::Present;
    // ENOTDIR: a file where a directory on the way should be; no entry can
    // have the name either.
    return errno == ENOENT || errno == ENOTDIR ? Presence::Absent : Presence::Unknown;
}

Writer writerOf(int fd)
{
#ifdef F_SETLEASE
    ignoreLeaseBreaks();
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        // Held for no longer than this: a writer opening it now would have
        // to wait for us.
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return Writer::None;
    }
    if (errno == EAGAIN)
        return Writer::Writing;
#else
    (void)fd;
#endif
    return Writer::Unknown;
}

bool holdAsPrivate(int fd, const QString& name)
{
    // Where locks are not kept (some network file systems) nobody can
    // recover the file either: it stays its maker's.
    return ::flock(fd, LOCK_SH) != 0 || namesFile(name, fd);
}

Descriptor openIfOrphaned(const QString& path, Status& status)
{
    // Not waiting for whatever else a name could stand for (a FIFO). A
    // link is a bitmap that was a link when it was set aside.
    Descriptor fd = open(path, O_RDONLY | O_NONBLOCK, status);
    if (!fd)
        return fd;
    if (!isRegularFile(fd.get())) {
        status = {Error::Other, EINVAL};
        return {};
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || !namesFile(path, fd.get())) {
        status = {Error::InUse, EWOULDBLOCK};
        return {};
    }
    return fd;
}

Status moveHeld(int fd, const QString& from, const QString& to)
{
    const Status moved = moveNoReplace(from, to);
    if (moved && !namesFile(to, fd))
        return {Error::NotTheFile, 0};
    return moved;
}

Status removeHeld(int, const QString& path) { return remove(path); }

Status setHidden(int, bool) { return {}; }

std::optional<Kept> keptOf(const QString& path)
{
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    Kept kept;
    kept.mode = st.st_mode & 07777;
    kept.times[1] = std::int64_t(st.st_atim.tv_sec) * 1000000000 + st.st_atim.tv_nsec;
    kept.times[2] = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return kept;
}

Status applyKept(int fd, const Kept& kept)
{
    // Linux keeps no settable birth time.
    const auto toTimespec = [](std::int64_t ns) { return timespec{ns / 1000000000, ns % 1000000000}; };
    const timespec times[2] = {toTimespec(kept.times[1]), toTimespec(kept.times[2])};
    return checked(::fchmod(fd, kept.mode) == 0 && ::futimens(fd, times) == 0);
}

Status moveNoReplace(const QString& from, const QString& to)
{
    const QByteArray source = native(from), target = native(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return lastError();
    // A file system without renameat2's flag: link() fails on a taken name
    // too, and the old name goes after.
    if (::link(source.constData(), target.constData()) != 0)
        return lastError();
    ::unlink(source.constData());
    return {};
}

Status replace(const QString& from, const QString& to)
{
    return checked(::rename(native(from).constData(), native(to).constData()) == 0);
}

Status remove(const QString& path) { return checked(::unlink(native(path).constData()) == 0); }

void setRetryPause(std::function<void(int)>) {}

bool isDirectory(const QString& path)
{
    struct stat st {};
    return ::stat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

Status makeDirectory(const QString& path) { return checked(::mkdir(native(path).constData(), 0777) == 0); }

QStringList regularFiles(const QString& directory)
{
    // readdir, not QDir: a folder of a whole recorded movie holds 100,000
    // names, and the names keep their bytes (see NativeName).
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(native(directory).constData()), ::closedir);
    if (!dir)
        return {};
    const int dirFd = ::dirfd(dir.get());
    QStringList names;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_type != DT_REG) {
            struct stat st {};
            if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
                continue;
            if (::fstatat(dirFd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
                continue;
        }
        names << NativeName::decode(QByteArray(entry->d_name));
    }
    return names;
}

} // namespace NativeFile
