#include "WatchLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr int kCheckMs = 10000;

} // namespace

QString WatchLog::defaultPath()
{
    return QDir::cleanPath(qEnvironmentVariable("LOCALAPPDATA") + "/Framewright/watch.log");
}

WatchLog::WatchLog(const QString& path) : m_path(path)
{
    QDir().mkpath(QFileInfo(path).path());
    rotateWhenFull();
    m_open = reopen();
    // The lines are flushed as they are written (Reporter), so the file's
    // size on the disk is what was written.
    m_check.setInterval(kCheckMs);
    QObject::connect(&m_check, &QTimer::timeout, [this] {
        if (QFileInfo(m_path).size() > kMostBytes) {
            // The file cannot be renamed while open: the lines go nowhere for
            // the moment of the rename.
            std::fflush(stdout);
            std::fflush(stderr);
            _wfreopen(L"NUL", L"a", stdout);
            _wfreopen(L"NUL", L"a", stderr);
            rotateWhenFull();
            m_open = reopen();
        }
    });
    m_check.start();
}

void WatchLog::rotateWhenFull()
{
    if (QFileInfo(m_path).size() <= kMostBytes)
        return;
    const QString old = m_path + ".old";
    QFile::remove(old);
    QFile::rename(m_path, old);
}

bool WatchLog::reopen()
{
    const std::wstring path = QDir::toNativeSeparators(m_path).toStdWString();
    // Binary: the lines are UTF-8 with their own line ends.
    const bool out = _wfreopen(path.c_str(), L"ab", stdout) != nullptr;
    const bool err = _wfreopen(path.c_str(), L"ab", stderr) != nullptr;
    return out && err;
}
