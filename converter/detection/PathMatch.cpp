#include "detection/PathMatch.h"

#include <QDir>
#include <QFileInfo>

namespace PathMatch {

QString EntryIgnoringCase(const QString& dir, const QString& name)
{
    if (QFileInfo::exists(dir + '/' + name))
        return name;
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

QString FollowIgnoringCase(const QString& base, const QStringList& parts)
{
    QString path = base;
    bool exists = QFileInfo(base).isDir();
    for (const QString& part : parts) {
        const QString found = exists ? EntryIgnoringCase(path, part) : QString();
        exists = !found.isEmpty();
        path += '/' + (exists ? found : part);
    }
    return path;
}

} // namespace PathMatch
