#include "ConverterRun.h"

#include "Directories.h"
#include "FolderRecovery.h"
#include "IdlePriority.h"
#include "Interrupts.h"
#include "ModFolders.h"
#include "Options.h"
#include "ParallelConverter.h"
#include "Reporter.h"
#include "WatchLoop.h"
#include "core/ScreenshotList.h"
#include "core/os/NativeFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int kFailed = 1;

// Makes a directory and its parents; why it failed, or empty. QDir::mkpath
// says only that it failed.
QString makeDirectory(const QString& path)
{
    QString missing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList chain;
    while (!QFileInfo(missing).exists()) {
        chain.prepend(missing);
        const QString parent = QFileInfo(missing).path();
        if (parent == missing)
            break;
        missing = parent;
    }
    if (!chain.isEmpty() && !QFileInfo(QFileInfo(chain.first()).path()).isDir())
        return QString("%1 is not a directory").arg(QFileInfo(chain.first()).path());
    for (const QString& dir : chain) {
        if (const NativeFile::Status made = NativeFile::makeDirectory(dir);
            !made && made.error != NativeFile::Error::NameTaken)
            return made.message();
    }
    return QFileInfo(path).isDir() ? QString() : QString("%1 is not a directory").arg(path);
}

} // namespace

int runConverter(const QStringList& arguments)
{
    const ParsedOptions parsed = parseOptions(arguments);
    if (!parsed.options)
        return parsed.exitCode;
    const Options& options = *parsed.options;
    Interrupts::install();

    const RunSetup setup = chooseDirectories(options);
    Reporter reporter(options.quiet, options.dryRun);
    for (const QString& line : setup.origins)
        reporter.note(line);
    for (const QString& dir : setup.inputDirs) {
        const QFileInfo input(dir);
        if (input.exists() && !input.isDir()) {
            reporter.error(QString("framewright-convert: %1 is not a directory").arg(dir));
            return kFailed;
        }
        if (!options.watch && !input.exists()) {
            reporter.error(QString("framewright-convert: %1 doesn't exist !").arg(dir));
            return kFailed;
        }
    }
    if (!options.dryRun && !QFileInfo(setup.outputDir).isDir()) {
        if (const QString why = makeDirectory(setup.outputDir); !why.isEmpty()) {
            reporter.error(
                QString("framewright-convert: cannot create the directory %1: %2").arg(setup.outputDir, why));
            return kFailed;
        }
        reporter.note(QString("Created %1").arg(setup.outputDir));
    }

    // What a converter that died left: its temporary JPEG files here, its
    // bitmaps set aside in the input folders (recovered as each is taken).
    if (!options.dryRun)
        recoverFolder(setup.outputDir, setup.outputDir, reporter);

    const ParallelConverter::Settings settings{
        {{}, setup.outputDir, setup.deleteAfter, options.dryRun}, setup.quality, options.jobs, options.coding};
    int code = 0;
    if (options.watch) {
        if (!options.normalPriority) {
            if (const QString why = IdlePriority::lower(); !why.isEmpty())
                reporter.note(QString("Watching at the usual priority: the idle one was refused (%1).").arg(why));
        }
        code = watchAndConvert(settings, setup.inputDirs, options.newOnly, reporter);
    } else {
        QList<QPair<QString, QStringList>> batches;
        int total = 0;
        for (const QString& dir : ModFolders::expand(setup.inputDirs)) {
            if (!options.dryRun)
                recoverFolder(dir, setup.outputDir, reporter);
            batches.append({dir, ScreenshotList::listForConversion(dir)});
            total += int(batches.last().second.size());
        }
        reporter.beginBatch(total);
        for (const auto& [dir, bitmaps] : batches) {
            ParallelConverter::Settings folder = settings;
            folder.files.inputDir = dir;
            const ParallelConverter::End end = ParallelConverter(folder, reporter).run(bitmaps);
            if (end == ParallelConverter::End::Interrupted)
                code = Interrupts::exitCode();
            if (end == ParallelConverter::End::NoThreads)
                code = kFailed;
            if (end != ParallelConverter::End::Done)
                break;
        }
    }
    reporter.summary();
    return code == 0 && reporter.anyFailed() ? kFailed : code;
}
