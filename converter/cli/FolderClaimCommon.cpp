#include "FolderClaim.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

QString FolderClaim::keyOf(const QString& folder)
{
    // The folder through its links, so that two names of it are one claim; a
    // folder that is not there yet (a watch waits for it) by its clean path.
    const QFileInfo info(folder);
    QString path = info.canonicalFilePath();
    if (path.isEmpty())
        path = QDir::cleanPath(info.absoluteFilePath());
#ifdef Q_OS_WIN
    path = path.toLower(); // NTFS names do not differ by case
#endif
    return QString::fromLatin1(QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex());
}
