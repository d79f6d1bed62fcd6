#include "core/ScreenshotList.h"

#include "core/os/NativeFile.h"

#include <QRegularExpression>
#include <algorithm>
#include <memory>

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

bool isScreenshotName(const QString& fileName)
{
    // Hidden files are no screenshots, nor are our own temporary files.
    return !fileName.startsWith(QChar('.')) && fileName.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive);
}

bool isTgaName(const QString& fileName)
{
    return !fileName.startsWith(QChar('.')) && fileName.endsWith(QStringLiteral(".tga"), Qt::CaseInsensitive);
}

bool isConversionName(const QString& fileName) { return isScreenshotName(fileName) || isTgaName(fileName); }

namespace {

// The regular files of a directory whose names `take` accepts, in list order.
QStringList listWhere(const QString& directory, bool (*take)(const QString&))
{
    if (directory.isEmpty())
        return {};
    QStringList names = NativeFile::regularFiles(directory);
    names.removeIf([take](const QString& name) { return !take(name); });
    sortAsListed(names);
    return names;
}

} // namespace

QStringList list(const QString& directory) { return listWhere(directory, isScreenshotName); }

QStringList listForConversion(const QString& directory) { return listWhere(directory, isConversionName); }

QString namePrefix(const QString& fileName)
{
    static const QRegularExpression noMap(QStringLiteral("^HalfLife[0-9]{2}\\.[tT][gG][aA]$"));
    if (noMap.match(fileName).hasMatch())
        return QStringLiteral("HalfLife");
    return fileName.size() > kShortestName ? fileName.left(fileName.size() - kShortestName) : QString();
}

QString candidateName(const QString& prefix, int number)
{
    return prefix + QStringLiteral("%1").arg(number, 4, 10, QChar('0')) + QStringLiteral(".JPG");
}

int firstFreeNumber(const QString& directory, const QString& prefix, int from, int end)
{
    const QString base = directory.isEmpty() || directory.endsWith(QChar('/')) || directory.endsWith(QChar('\\'))
                             ? directory
                             : directory + QChar('/');
    const auto taken = [&](int n) { return NativeFile::entryExists(base + candidateName(prefix, n)); };
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
