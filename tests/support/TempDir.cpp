#include "TempDir.h"

#include <QFile>
#include <cstdlib>
#include <stdexcept>
#include <sys/stat.h>

namespace fwtest {

TempDir::TempDir()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary directory");
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void usePrivateUserDirs(const QString& root)
{
    const QByteArray runtimeDir = (root + "/runtime").toLocal8Bit();
    const QByteArray configDir = (root + "/config").toLocal8Bit();
    mkdir(runtimeDir.constData(), 0700); // Qt wants it private
    setenv("XDG_RUNTIME_DIR", runtimeDir.constData(), 1);
    setenv("XDG_CONFIG_HOME", configDir.constData(), 1);
}

} // namespace fwtest
