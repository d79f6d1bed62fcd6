#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <ostream>
#include <span>

// Lets GoogleTest print Qt strings readably in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace fwtest {

// A fresh directory per test, removed with everything in it afterwards.
// path() has no trailing separator; dir() has one, like the program's paths.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString dir() const { return m_dir.path() + '/'; }
    QString file(const QString& name) const { return dir() + name; }

private:
    QTemporaryDir m_dir;
};

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);
// The bytes as the file calls take them; valid as long as bytes is.
inline std::span<const std::uint8_t> bytesOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

// Points XDG_RUNTIME_DIR and XDG_CONFIG_HOME into root, so that a test run
// never reads or writes a real user's settings.
void usePrivateUserDirs(const QString& root);

} // namespace fwtest
