#include "engine/ConversionRun.h"

#include "core/ReadError.h"
#include "core/Recovery.h"
#include "core/Retire.h"
#include "core/SafeFile.h"
#include "core/SourceFile.h"
#include "engine/cDIBSection.h"
#include "engine/mFileOp.h"
#include "engine/mIntelJPEGLibrary.h"
#include "platform/Picture.h"

#include <QDir>

#include <exception>
#include <utility>

namespace {

const QString kErrorTitle = QStringLiteral("Error");
constexpr int kJpegWaitMs = 1500;
constexpr int kDeleteWaitMs = 5000;
constexpr int kAfterCreateMs = 500;

enum class FileResult { Converted, Skipped, Failed };

struct FileJob {
    QString name;      // as listed
    QString source;    // its full path
    QString outputDir; // where its JPEG goes
    QString prefix;
    int number; // the first free number, found before the file is read
};

void reportFailure(RunHost& host, const QString& jpeg)
{
    host.showMessage(QStringLiteral("Conversion failed: '") + jpeg + QStringLiteral("'"), MsgIcon::Warning, QString());
}

// One file, from the listed name to its JPEG (and the deletion of the
// bitmap when asked). The image is shared by the whole run.
FileResult convertFile(RunHost& host, cDIBSection& image, const FileJob& job, int quality)
{
    host.log(job.name);
    host.processEvents();

    // The file is opened once: its identity, taken from that descriptor,
    // decides later whether the file on the disk is still the one read.
    FileIdentity read;
    StdPicture picture;
    try {
        // Where leases are refused it waits a moment for a writer to show
        // itself: the window stays live meanwhile, as in its other waits.
        SourceFile source(job.source, [&host](int ms) { host.pause(ms); });
        picture = LoadPicture(source.file());
        source.checkUnchanged();
        read = source.identity();
    } catch (const ReadError& e) {
        // A bitmap that vanished, cannot be read or is still being written
        // costs nothing but itself: it stays.
        host.log(job.name + QStringLiteral(" skipped: ") + QString::fromStdString(e.reason()));
        return FileResult::Skipped;
    } catch (const std::exception&) {
        reportFailure(host, job.outputDir + ScreenshotList::candidateName(job.prefix, job.number));
        return FileResult::Failed;
    }
    host.processEvents();

    image.CreateFromPicture(std::move(picture));
    host.processEvents();

    // The JPEG never replaces anything: when another writer took the name
    // since it was found free, the next free number is tried.
    Retire::Published jpeg;
    QString attempted;
    try {
        jpeg = Retire::publish(job.outputDir, job.prefix, job.number, [&](const QString& target) {
            attempted = target;
            return SafeFile::Result{SaveToNewJPG(image, target, quality) == NewJpg::Written
                                        ? SafeFile::Outcome::Written
                                        : SafeFile::Outcome::NameTaken,
                                    {}};
        });
    } catch (const std::exception&) {
        image.ClearUp();
        reportFailure(host, attempted);
        return FileResult::Failed;
    }
    if (jpeg.outcome != SafeFile::Outcome::Written) {
        image.ClearUp();
        host.log(job.name + QStringLiteral(" skipped: every number from 0000 to 9998 is taken"));
        return FileResult::Skipped;
    }

    host.processEvents();
    mFileOp::WaitForFile(jpeg.jpegPath, kJpegWaitMs);
    image.ClearUp();
    host.processEvents();

    if (host.deleteOriginals()) {
        const Retire::Outcome retired = Retire::retireBitmap(jpeg.jpegPath, job.source, read);
        if (retired.fate == Retire::Fate::Deleted)
            mFileOp::WaitWhileFileExists(job.source, kDeleteWaitMs);
        else
            host.log(job.name + QChar(' ') + Retire::describe(retired));
    }
    return FileResult::Converted;
}

} // namespace

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

        const QString question = QStringLiteral("The following directory doesn't exist:") + MsgLineBreak() + output
                                 + MsgLineBreak() + QStringLiteral("Would you like to create it ?");
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

    const QString input = host.inputPath();
    const QString output = host.outputPath();
    // What a converter that died left behind: its temporary JPEG files go,
    // and a bitmap it had set aside comes back and is converted in its turn.
    Recovery::recover(output);
    QStringList names = host.screenshots();
    for (const QString& name : Recovery::recover(input).bitmaps) {
        host.log(name + QStringLiteral(" put back: a run had stopped while it was set aside"));
        if (!names.contains(name))
            names << name;
    }
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
