#include "core/ScreenshotList.h"

#include "core/ScreenshotFormat.h"
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
    return fileName.size() > kShortestName ? fileName.left(fileName.size() - kShortestName) : QString();
}

QString jpegPrefix(const QString& fileName)
{
    static const QRegularExpression noMap(QStringLiteral("^HalfLife[0-9]{2}\\.[tT][gG][aA]$"));
    return noMap.match(fileName).hasMatch() ? QStringLiteral("HalfLife") : namePrefix(fileName);
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

std::optional<int> firstFreeNumber(const QString& directory, const QString& prefix, int from, int end)
{
    for (int n = from; n < end; ++n) {
        switch (NativeFile::presenceOf(pathIn(directory, candidateName(prefix, n)))) {
        case NativeFile::Presence::Absent: return n;
        case NativeFile::Presence::Present: break;
        case NativeFile::Presence::Unknown: return std::nullopt;
        }
    }
    return end;
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
