// framewright-convert: Framewright's conversion from the command line, on
// every core, and watching the game's folder. Needs no display.
#include "Directories.h"
#include "Interrupts.h"
#include "Options.h"
#include "ParallelConverter.h"
#include "Reporter.h"
#include "WatchLoop.h"
#include "core/ScreenshotList.h"
#include "core/os/NativeFile.h"

#include <QCoreApplication>
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

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const ParsedOptions parsed = parseOptions(app.arguments());
    if (!parsed.options)
        return parsed.exitCode;
    const Options& options = *parsed.options;
    Interrupts::install();

    const RunSetup setup = chooseDirectories(options);
    Reporter reporter(options.quiet, options.dryRun);
    for (const QString& line : setup.origins)
        reporter.note(line);
    const QFileInfo input(setup.inputDir);
    if (input.exists() && !input.isDir()) {
        reporter.error(QString("framewright-convert: %1 is not a directory").arg(setup.inputDir));
        return kFailed;
    }
    if (!options.watch && !input.exists()) {
        reporter.error(QString("framewright-convert: %1 doesn't exist !").arg(setup.inputDir));
        return kFailed;
    }
    if (!options.dryRun && !QFileInfo(setup.outputDir).isDir()) {
        if (const QString why = makeDirectory(setup.outputDir); !why.isEmpty()) {
            reporter.error(
                QString("framewright-convert: cannot create the directory %1: %2").arg(setup.outputDir, why));
            return kFailed;
        }
        reporter.note(QString("Created %1").arg(setup.outputDir));
    }

    ParallelConverter converter({{setup.inputDir, setup.outputDir, options.deleteAfter, options.dryRun},
                                 setup.quality,
                                 options.jobs,
                                 options.coding},
                                reporter);
    int code = 0;
    if (options.watch) {
        code = watchAndConvert(converter, setup.inputDir, options.newOnly, reporter);
    } else {
        const QStringList bitmaps = ScreenshotList::listForConversion(setup.inputDir);
        reporter.beginBatch(int(bitmaps.size()));
        switch (converter.run(bitmaps)) {
        case ParallelConverter::End::Done: break;
        case ParallelConverter::End::Interrupted: code = Interrupts::exitCode(); break;
        case ParallelConverter::End::NoThreads: code = kFailed; break;
        }
    }
    reporter.summary();
    return code == 0 && reporter.anyFailed() ? kFailed : code;
}
