#include "engine/ScreenshotList.h"

#include <QDir>
#include <QFileInfo>

namespace ScreenshotList {

QStringList list(const QString& directory)
{
    if (directory.isEmpty())
        return {};
    // Without QDir::CaseSensitive the pattern matches ".BMP" and ".Bmp" too.
    const QDir dir(directory, QStringLiteral("*.bmp"), QDir::Name | QDir::IgnoreCase, QDir::Files);
    return dir.entryList();
}

QString namePrefix(const QString& fileName)
{
    return fileName.size() > kShortestName ? fileName.left(fileName.size() - kShortestName) : QString();
}

QString candidateName(const QString& prefix, int number)
{
    return prefix + QStringLiteral("%1").arg(number, 4, 10, QChar('0')) + QStringLiteral(".JPG");
}

int firstFreeNumber(const QString& directory, const QString& prefix, int from)
{
    const QDir dir(directory);
    const auto taken = [&](int n) {
        const QFileInfo entry(dir.filePath(candidateName(prefix, n)));
        return entry.exists() || entry.isSymLink();
    };
    int n = from;
    while (n < kNumberCount && taken(n))
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
