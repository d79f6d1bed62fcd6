#include "FolderClaim.h"

#include "core/NativeName.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderClaim::FolderClaim(const QString& folder)
{
    // The runtime directory is the user's own and emptied at logout: nothing
    // stale is ever left, and another user's watch is no concern of ours.
    // Without one (no login session), a folder of the user's own in /tmp.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString dir =
        runtime.isEmpty() ? QDir::tempPath() + QString("/framewright-%1").arg(::getuid()) : runtime + "/framewright";
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); // no other user's business
    const QByteArray lockFile = NativeName::encode(dir + "/watch-" + keyOf(folder) + ".lock");
    const int fd = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_why = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_handle = fd;
    // The lock belongs to the open file: it goes with the process, even with
    // a crash, and a child started later does not inherit it (O_CLOEXEC).
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        m_held = true;
    else if (errno != EWOULDBLOCK)
        m_why = QString::fromLocal8Bit(std::strerror(errno));
}

FolderClaim::~FolderClaim()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
}
