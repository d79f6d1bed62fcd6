// framewright-convert: Framewright's conversion from the command line, on
// every core, and watching the game's folder. Needs no display.
#include "Directories.h"
#include "Interrupts.h"
#include "Options.h"
#include "ParallelConverter.h"
#include "Reporter.h"
#include "WatchLoop.h"
#include "engine/ScreenshotList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <csignal>

namespace {

constexpr int kFailed = 1;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Over a file-size limit a write fails with EFBIG, instead of the signal
    // ending the program in the middle of a file.
    std::signal(SIGXFSZ, SIG_IGN);

    const ParsedOptions parsed = parseOptions(app.arguments());
    if (!parsed.options)
        return parsed.exitCode;
    const Options& options = *parsed.options;
    Interrupts::install();

    const RunSetup setup = chooseDirectories(options);
    Reporter reporter(options.quiet, options.dryRun);
    for (const QString& line : setup.origins)
        reporter.note(line);
    if (!options.watch && !QFileInfo(setup.inputDir).isDir()) {
        reporter.error(QString("framewright-convert: %1 doesn't exist !").arg(setup.inputDir));
        return kFailed;
    }
    if (!options.dryRun && !QFileInfo(setup.outputDir).isDir()) {
        if (!QDir().mkpath(setup.outputDir)) {
            reporter.error(QString("framewright-convert: cannot create the directory %1").arg(setup.outputDir));
            return kFailed;
        }
        reporter.note(QString("Created %1").arg(setup.outputDir));
    }

    ParallelConverter converter({{setup.inputDir, setup.outputDir, options.deleteAfter, options.dryRun},
                                 setup.quality, options.jobs},
                                reporter);
    int code = 0;
    if (options.watch) {
        code = watchAndConvert(converter, setup.inputDir, options.newOnly, reporter);
    } else {
        const QStringList bitmaps = ScreenshotList::list(setup.inputDir);
        reporter.beginBatch(int(bitmaps.size()));
        if (!converter.run(bitmaps))
            code = Interrupts::exitCode();
    }
    reporter.summary();
    return code == 0 && reporter.anyFailed() ? kFailed : code;
}
