#include "core/ScreenshotList.h"

#include "core/NativeName.h"
#include "core/ScreenshotFormat.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <memory>

#ifndef Q_OS_WIN
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace ScreenshotList {

// The window's order: by name, without regard to case; names that differ in
// case only, by their code points.
void sortAsListed(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

namespace {

// Hidden files are no screenshots, nor are our own temporary files.
const ScreenshotFormat* formatOf(const QString& fileName)
{
    return fileName.startsWith(QChar('.')) ? nullptr : ScreenshotFormats::of(fileName);
}

} // namespace

bool isScreenshotName(const QString& fileName)
{
    const ScreenshotFormat* format = formatOf(fileName);
    return format && format->listedByWindow;
}

bool isConversionName(const QString& fileName) { return formatOf(fileName) != nullptr; }

namespace {

// The regular files of a directory whose names `take` accepts, in list order.
QStringList listWhere(const QString& directory, bool (*take)(const QString&))
{
    if (directory.isEmpty())
        return {};
    QStringList names;
#ifdef Q_OS_WIN
    // Without QDir::CaseSensitive the patterns match ".BMP" and ".Bmp" too.
    QStringList patterns;
    for (const ScreenshotFormat& format : ScreenshotFormats::all())
        patterns << QChar('*') + QLatin1String(format.extension);
    names = QDir(directory, patterns.join(QChar(';')), QDir::NoSort, QDir::Files).entryList();
    names.removeIf([take](const QString& name) { return !take(name); });
#else
    // Read with readdir, not QDir: a folder of a whole recorded movie holds
    // 100,000 names, and the names keep their bytes (see NativeName).
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(NativeName::encode(directory).constData()), ::closedir);
    if (!dir)
        return {};
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        const QString name = NativeName::decode(QByteArray(entry->d_name));
        if (!take(name))
            continue;
        if (entry->d_type != DT_REG) {
            struct stat st {};
            if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
                continue;
            if (::fstatat(dirFd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
                continue;
        }
        names << name;
    }
#endif
    sortAsListed(names);
    return names;
}

} // namespace

QStringList list(const QString& directory) { return listWhere(directory, isScreenshotName); }

QStringList listForConversion(const QString& directory) { return listWhere(directory, isConversionName); }

QString namePrefix(const QString& fileName)
{
    return fileName.size() > kShortestName ? fileName.left(fileName.size() - kShortestName) : QString();
}

QString candidateName(const QString& prefix, int number, const QString& extension)
{
    return prefix + QStringLiteral("%1").arg(number, 4, 10, QChar('0')) + extension;
}

QString pathIn(const QString& directory, const QString& name)
{
    if (directory.isEmpty() || directory.endsWith(QChar('/')) || directory.endsWith(QChar('\\')))
        return directory + name;
    return directory + QChar('/') + name;
}

int firstFreeNumber(const QString& directory, const QString& prefix, int from, int end)
{
    const auto taken = [&](int n) {
        const QString path = pathIn(directory, candidateName(prefix, n));
#ifdef Q_OS_WIN
        const QFileInfo entry(path);
        return entry.exists() || entry.isSymLink();
#else
        struct stat st {};
        return ::lstat(NativeName::encode(path).constData(), &st) == 0 || errno != ENOENT;
#endif
    };
    int n = from;
    while (n < end && taken(n))
        ++n;
    return n;
}

RuleSkip ruleSkip(const QString& fileName, qint64 size)
{
    if (fileName.size() <= kShortestName)
        return RuleSkip::ShortName;
    if (size < kMinBytes)
        return RuleSkip::SmallFile;
    return RuleSkip::None;
}

} // namespace ScreenshotList
