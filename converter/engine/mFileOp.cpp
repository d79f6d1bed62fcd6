#include "engine/mFileOp.h"

#include "engine/mChrono.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace mFileOp {

namespace {
constexpr int kShellOk = 42;
constexpr int kShellFileNotFound = 2;
constexpr int kStabilityPassMs = 200;
} // namespace

QChar PathSeparator()
{
    return QDir::separator();
}

QString FormatPath(const QString& path)
{
    if (path.endsWith(PathSeparator()))
        return path;
    return path + PathSeparator();
}

std::optional<std::int64_t> FileLength(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    return info.size();
}

bool FileExists(const QString& path)
{
    return FileLength(path).has_value();
}

bool DirExists(const QString& path)
{
    if (path.size() < 3)
        return false;
    return QFileInfo(path).isDir();
}

bool WaitWhileFileExists(const QString& path, int limitMs)
{
    const std::int64_t deadline = mChrono::TickCount() + limitMs;
    for (;;) {
        const std::int64_t now = mChrono::TickCount();
        if (!FileExists(path) || now >= deadline)
            break;
        mChrono::ProcessEvents();
    }
    return !FileExists(path);
}

bool WaitForFile(const QString& path, int limitMs)
{
    const std::int64_t deadline = mChrono::TickCount() + limitMs;
    for (;;) {
        const std::int64_t now = mChrono::TickCount();
        if (FileExists(path) || now >= deadline)
            break;
        mChrono::ProcessEvents();
    }
    // The writer may still be growing the file: wait until two size readings
    // 200 ms apart agree. A failed reading keeps the previous value.
    std::int64_t size1 = 0;
    std::int64_t size2 = 0;
    for (;;) {
        if (mChrono::TickCount() >= deadline)
            break;
        size1 = FileLength(path).value_or(size1);
        mChrono::Sleep(kStabilityPassMs);
        size2 = FileLength(path).value_or(size2);
        if (size1 == size2)
            break;
    }
    return FileExists(path);
}

int ShellOpen(const QString& target)
{
    const QUrl url = QUrl::fromUserInput(target, QDir::currentPath(), QUrl::AssumeLocalFile);
    return QDesktopServices::openUrl(url) ? kShellOk : kShellFileNotFound;
}

} // namespace mFileOp
