#include "TempDir.h"

#include <QFile>
#include <stdexcept>

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

QString corpusPath(const QString& relative)
{
#ifdef FW_CORPUS_DIR
    return QStringLiteral(FW_CORPUS_DIR "/") + relative;
#else
    return relative;
#endif
}

} // namespace fwtest
