#include "engine/ConversionRun.h"

#include "core/ReadError.h"
#include "core/Recovery.h"
#include "core/Retire.h"
#include "core/SafeFile.h"
#include "core/ScreenshotFile.h"
#include "core/os/NativeFile.h"
#include "engine/cDIBSection.h"
#include "engine/mFileOp.h"
#include "engine/mIntelJPEGLibrary.h"
#include "platform/Picture.h"

#include <QDir>

#include <exception>
#include <optional>
#include <utility>

namespace {

const QString kErrorTitle = QStringLiteral("Error");
constexpr int kJpegWaitMs = 1500;
constexpr int kDeleteWaitMs = 5000;
constexpr int kAfterCreateMs = 500;

enum class FileResult { Converted, Skipped, Failed };

struct FileJob {
    ScreenshotFile& screenshot;
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
    const QString& name = job.screenshot.name();
    host.log(name);
    host.processEvents();

    // The file is opened once: its identity, taken from that descriptor,
    // decides later whether the file on the disk is still the one read.
    StdPicture picture;
    try {
        // Where leases are refused it waits a moment for a writer to show
        // itself: the window stays live meanwhile, as in its other waits.
        picture = LoadPicture(job.screenshot, [&host](int ms) { host.pause(ms); });
    } catch (const ReadError& e) {
        // A bitmap that vanished, cannot be read or is still being written
        // costs nothing but itself: it stays.
        host.log(name + QStringLiteral(" skipped: ") + QString::fromStdString(e.reason()));
        return FileResult::Skipped;
    } catch (const std::exception&) {
        reportFailure(host,
                      ScreenshotList::pathIn(job.outputDir, ScreenshotList::candidateName(job.prefix, job.number)));
        return FileResult::Failed;
    }
    host.processEvents();

    image.CreateFromPicture(std::move(picture));
    host.processEvents();

    // With Delete ticked, the bitmap is set aside just before its JPEG is
    // named, and deleted once the JPEG is durable (Retire.h): a crash at any
    // moment leaves it, or its one JPEG.
    std::optional<Retire::Retirement> retirement;
    if (host.deleteOriginals() && job.screenshot.held())
        retirement.emplace(job.screenshot.path(), job.screenshot.held(), *job.screenshot.identity());

    // The JPEG never replaces anything: when another writer took the name
    // since it was found free, the next free number is tried.
    Retire::Published jpeg;
    QString attempted;
    try {
        const auto write = [&](const QString& target, const SafeFile::BeforeNaming& beforeNaming) {
            attempted = target;
            if (beforeNaming)
                return SaveToNewJPG(image, target, quality, beforeNaming);
            return SafeFile::Result{SaveToNewJPG(image, target, quality) == NewJpg::Written
                                        ? SafeFile::Outcome::Written
                                        : SafeFile::Outcome::NameTaken,
                                    {}};
        };
        jpeg = Retire::publish(job.outputDir, job.prefix, job.number, write, ScreenshotList::kNumberCount,
                               retirement ? &*retirement : nullptr);
    } catch (const std::exception&) {
        image.ClearUp();
        reportFailure(host, attempted);
        return FileResult::Failed;
    }
    if (jpeg.result.outcome == SafeFile::Outcome::Failed) { // the output folder cannot be reached
        image.ClearUp();
        reportFailure(host, jpeg.jpegPath.isEmpty() ? job.outputDir : jpeg.jpegPath);
        return FileResult::Failed;
    }
    if (jpeg.result.outcome != SafeFile::Outcome::Written) {
        image.ClearUp();
        host.log(name + QStringLiteral(" skipped: every number from 0000 to 9998 is taken"));
        return FileResult::Skipped;
    }

    host.processEvents();
    mFileOp::WaitForFile(jpeg.jpegPath, kJpegWaitMs);
    image.ClearUp();
    host.processEvents();

    if (retirement) {
        // Converted, whatever the fate: see Retire.h.
        const Retire::Outcome retired = retirement->finish(jpeg.result);
        if (retired.fate == Retire::Fate::Deleted)
            mFileOp::WaitWhileFileExists(job.screenshot.path(), kDeleteWaitMs);
        else
            host.log(name + QChar(' ') + Retire::describe(retired));
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

    host.clearLog();
    host.log(QStringLiteral("Processing:"));
    host.runStarted();
    const int quality = host.quality();
    host.processEvents();

    const QString input = host.inputPath();
    const QString output = host.outputPath();
    // What a converter that died left behind: its temporary JPEG files go,
    // and a bitmap it had set aside comes back and is converted in its turn.
    // One whose JPEG was named already is deleted, as that run was about to.
    Recovery::recover(output, output);
    QStringList names = host.screenshots();
    const Recovery::Recovered recovered = Recovery::recover(input, output);
    for (const QString& name : recovered.deleted) {
        host.log(name + QStringLiteral(" deleted: its JPEG was written before a run stopped"));
        names.removeAll(name);
    }
    for (const QString& name : recovered.bitmaps) {
        host.log(name + QStringLiteral(" put back: a run had stopped while it was set aside"));
        if (!names.contains(name))
            names << name;
    }
    // A file another program holds for a moment is waited for with the
    // window still live.
    const struct RetryPause {
        explicit RetryPause(RunHost& host)
        {
            NativeFile::setRetryPause([&host](int attempt) { host.pause(25 * (attempt + 1)); });
        }
        ~RetryPause() { NativeFile::setRetryPause({}); }
    } retryPause(host);
    cDIBSection image;
    for (int j = 0; j < names.size(); ++j) {
        host.showProgress(j, static_cast<int>(names.size()));
        const QString& name = names[j];
        ScreenshotFile screenshot(input, name);
        const auto found = screenshot.lookUp();
        const auto rule = ScreenshotList::ruleSkip(name, found ? found->size : ScreenshotList::kMinBytes);
        if (rule == ScreenshotList::RuleSkip::ShortName)
            continue;
        if (!found) {
            host.log(name + QStringLiteral(" skipped: file not found"));
            continue;
        }
        if (rule != ScreenshotList::RuleSkip::None)
            continue;

        const QString prefix = GetNamePrefix(name);
        // An output folder that cannot be asked fails at the JPEG's write.
        const int number = ScreenshotList::firstFreeNumber(output, prefix, 0).value_or(0);
        if (number == ScreenshotList::kNumberCount)
            continue; // every number taken: left alone, like a small file
        if (convertFile(host, image, {screenshot, output, prefix, number}, quality) == FileResult::Failed) {
            // The closing steps of a complete run are not taken, but the
            // window comes back usable after the message.
            host.runEnded();
            return false;
        }
    }

    host.restoreWindow();
    host.log(QStringLiteral("Done."));
    host.runEnded();
    return true;
}
