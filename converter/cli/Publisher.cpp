#include "Publisher.h"

#include "engine/SafeFile.h"
#include "engine/ScreenshotList.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

Publisher::Publisher(Settings settings) : m_settings(std::move(settings)) {}

FileResult Publisher::publish(const QString& bitmap, std::span<const std::uint8_t> jpeg, qint64 pixels)
{
    FileResult r{FileResult::Kind::Failed, bitmap, {}, qint64(jpeg.size()), pixels, {}};
    const QString prefix = ScreenshotList::namePrefix(bitmap);
    const QDir out(m_settings.outputDir);
    const auto nextFree = [&](int from) {
        return ScreenshotList::firstFreeNumber(m_settings.outputDir, prefix, from);
    };
    for (int n = nextFree(m_nextNumber.value(prefix, 0)); n < ScreenshotList::kNumberCount; n = nextFree(n + 1)) {
        const QString name = ScreenshotList::candidateName(prefix, n);
        const QString target = out.filePath(name);
        if (!m_settings.dryRun) {
            const SafeFile::Result written = SafeFile::write(target, jpeg, SafeFile::Publish::NoReplace);
            if (written.outcome == SafeFile::Outcome::NameTaken)
                continue; // another program was quicker
            if (written.outcome == SafeFile::Outcome::Failed) {
                r.reason = written.error; // the number stays free for the next file
                return r;
            }
        }
        m_nextNumber[prefix] = n + 1;
        r.jpeg = name;
        if (m_settings.deleteAfter && !m_settings.dryRun) {
            r.reason = SafeFile::flushToDisk(target) ? deleteBitmap(bitmap)
                                                     : QString("the JPEG could not be flushed; bitmap kept");
            if (!r.reason.isEmpty())
                return r;
        }
        r.kind = FileResult::Kind::Converted;
        return r;
    }
    r.kind = FileResult::Kind::Skipped;
    r.reason = QString("every number from 0000 to %1 is taken").arg(ScreenshotList::kNumberCount - 1);
    return r;
}

QString Publisher::deleteBitmap(const QString& bitmap) const
{
    const QByteArray path = QFile::encodeName(QDir(m_settings.inputDir).filePath(bitmap));
    // Gone already: another converter got there first, after writing its own JPEG.
    if (::unlink(path.constData()) == 0 || errno == ENOENT)
        return {};
    return QString("cannot delete the bitmap: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
}
