#include "engine/ConversionRun.h"

#include "engine/SafeFile.h"
#include "engine/bmp/BmpDecoder.h"
#include "engine/cDIBSection.h"
#include "engine/mFileOp.h"
#include "engine/mIntelJPEGLibrary.h"
#include "engine/platform/Picture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace {

const QString kErrorTitle = QStringLiteral("Error");
constexpr int kJpegWaitMs = 1500;
constexpr int kDeleteWaitMs = 5000;
constexpr int kAfterCreateMs = 500;

// Why the loader failed, without the file's name: the line names it already.
QString reasonOf(const std::exception& e)
{
    const auto* bitmap = dynamic_cast<const BmpError*>(&e);
    return QString::fromStdString(bitmap ? bitmap->reason() : e.what());
}

enum class FileResult { Converted, Skipped, Failed };

struct FileJob {
    QString name;      // as listed
    QString source;    // its full path
    QString outputDir; // where its JPEG goes
    QString prefix;
    int number;        // the first free number, found before the file is read
};

// Deletes the bitmap once its JPEG is safely on disk, or says why it stays.
void deleteOriginal(RunHost& host, const FileJob& job, const QString& jpeg)
{
    if (!SafeFile::flushToDisk(jpeg)) {
        host.log(job.name + QStringLiteral(" kept: its JPEG could not be confirmed"));
        return;
    }
    QFile bitmap(job.source);
    if (!bitmap.remove()) {
        host.log(job.name + QStringLiteral(" kept: it could not be deleted (") + bitmap.errorString() + QChar(')'));
        return;
    }
    mFileOp::WaitWhileFileExists(job.source, kDeleteWaitMs);
}

// One file, from the listed name to its JPEG (and the deletion of the
// bitmap when asked). The image is shared by the whole run.
FileResult convertFile(RunHost& host, cDIBSection& image, FileJob job, int quality)
{
    host.log(job.name);
    host.processEvents();

    StdPicture picture;
    try {
        picture = LoadPicture(job.source);
    } catch (const std::exception& e) {
        // A bitmap that vanished or cannot be read costs nothing but itself.
        host.log(job.name + QStringLiteral(" skipped: ") + reasonOf(e));
        return FileResult::Skipped;
    }
    host.processEvents();

    image.CreateFromPicture(std::move(picture));
    host.processEvents();

    // The JPEG never replaces anything: when another writer took the name
    // since it was found free, the next free number is tried.
    QString jpeg;
    for (;;) {
        if (job.number >= ScreenshotList::kNumberCount) {
            image.ClearUp();
            host.log(job.name + QStringLiteral(" skipped: every number from 0000 to 9998 is taken"));
            return FileResult::Skipped;
        }
        jpeg = job.outputDir + ScreenshotList::candidateName(job.prefix, job.number);
        NewJpg written = NewJpg::NameTaken;
        try {
            written = SaveToNewJPG(image, jpeg, quality);
        } catch (const std::exception&) {
            image.ClearUp();
            host.showMessage(QStringLiteral("Conversion failed: '") + jpeg + QStringLiteral("'"), MsgIcon::Warning,
                             QString());
            return FileResult::Failed;
        }
        if (written == NewJpg::Written)
            break;
        job.number = ScreenshotList::firstFreeNumber(job.outputDir, job.prefix, job.number + 1);
    }

    host.processEvents();
    mFileOp::WaitForFile(jpeg, kJpegWaitMs);
    image.ClearUp();
    host.processEvents();

    if (host.deleteOriginals())
        deleteOriginal(host, job, jpeg);
    return FileResult::Converted;
}

} // namespace

int NumberAtStart(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    const double value = match.captured(0).trimmed().toDouble();
    return static_cast<int>(std::nearbyint(std::clamp(value, -2147483648.0, 2147483647.0)));
}

bool ValidateProcess(RunHost& host)
{
    for (;;) {
        const QString input = host.inputPath();
        const QString output = host.outputPath();
        if (!mFileOp::DirExists(input)) {
            host.showMessage(input + QStringLiteral(" doesn't exist !"), MsgIcon::Information, kErrorTitle);
            return false;
        }
        if (mFileOp::DirExists(output))
            return true;

        const QString question = QStringLiteral("The following directory doesn't exist:") + MsgLineBreak()
            + output + MsgLineBreak() + QStringLiteral("Would you like to create it ?");
        if (!host.askYesNo(question, MsgIcon::Information, QString())) {
            host.showMessage(output + QStringLiteral(" doesn't exist !"), MsgIcon::Information, kErrorTitle);
            return false;
        }
        if (!QDir().mkdir(output)) { // one level: its parent must exist
            host.showMessage(QStringLiteral("Une erreur est survenue"), MsgIcon::Information, kErrorTitle);
            return false;
        }
        host.pause(kAfterCreateMs);
    }
}

bool RunConversion(RunHost& host)
{
    if (!ValidateProcess(host))
        return false;

    host.runStarted();
    host.log(QStringLiteral("Processing:"));
    const int quality = host.quality();
    host.processEvents();

    const QStringList names = host.screenshots();
    const QString input = host.inputPath();
    const QString output = host.outputPath();
    cDIBSection image;
    for (int j = 0; j < names.size(); ++j) {
        host.showProgress(j, static_cast<int>(names.size()));
        const QString& name = names[j];
        const auto length = mFileOp::FileLength(input + name);
        const auto rule = ScreenshotList::ruleSkip(name, length.value_or(ScreenshotList::kMinBytes));
        if (rule == ScreenshotList::RuleSkip::ShortName)
            continue;
        if (!length) {
            host.log(name + QStringLiteral(" skipped: file not found"));
            continue;
        }
        if (rule != ScreenshotList::RuleSkip::None)
            continue;

        const QString prefix = GetNamePrefix(name);
        const int number = ScreenshotList::firstFreeNumber(output, prefix, 0);
        if (number == ScreenshotList::kNumberCount)
            continue; // every number taken: left alone, like a small file
        if (convertFile(host, image, {name, input + name, output, prefix, number}, quality) == FileResult::Failed) {
            // The closing steps of a complete run are not taken, but the
            // window comes back usable after the message.
            host.runEnded(false);
            return false;
        }
    }

    host.log(QStringLiteral("Done."));
    host.runEnded(true);
    return true;
}
