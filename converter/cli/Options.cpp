#include "Options.h"

#include "HelpText.h"

#include <QCommandLineParser>
#include <QThread>
#include <cstdio>

namespace {

constexpr int kUsageError = 2;
constexpr int kMostJobs = 256;

int usageError(const QString& message)
{
    std::fprintf(stderr, "framewright-convert: %s\nTry 'framewright-convert --help' for more information.\n",
                 qPrintable(message));
    return kUsageError;
}

std::optional<int> numberIn(const QString& text, int lowest, int highest)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

} // namespace

ParsedOptions parseOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(helpDescription());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption quality({"q", "quality"}, "JPEG quality, 0 to 100.", "N");
    const QCommandLineOption remove({"d", "delete"}, "Delete each screenshot once its JPEG is on the disk.");
    const QCommandLineOption jobs({"j", "jobs"}, "Convert on N threads (default: the number of cores).", "N");
    const QCommandLineOption dryRun({"n", "dry-run"}, "Print the names it would write; touch nothing.");
    const QCommandLineOption watch({"w", "watch"}, "Convert what is there, then keep running and convert each new "
                                                   "screenshot once the game has finished writing it.");
    const QCommandLineOption newOnly("new-only", "With --watch: leave what is already there alone.");
    const QCommandLineOption normalPriority("normal-priority",
                                            "With --watch: convert at the usual priority, not the idle one.");
    const QCommandLineOption quiet("quiet", "Print only failures.");
    const QCommandLineOption smaller("smaller",
                                     "Huffman tables made for each picture: the same pixels in 3 to 13 % fewer "
                                     "bytes, for two to three times the encoding time.");
    const QCommandLineOption progressive("progressive",
                                         "Progressive JPEG files: 8 to 14 % fewer bytes, for five to seven times "
                                         "the encoding time.");
    parser.addOptions({quality, remove, jobs, dryRun, watch, newOnly, normalPriority, quiet, smaller, progressive});
    parser.addPositionalArgument("INPUT_DIR", "Where the screenshots are: a mod folder, or the game's folder.",
                                 "[INPUT_DIR...");
    parser.addPositionalArgument("OUTPUT_DIR",
                                 "Where the JPEG files go: the last folder named, after one or more "
                                 "input folders.",
                                 "[OUTPUT_DIR]]");

    if (!parser.parse(arguments))
        return {std::nullopt, usageError(parser.errorText())};
    if (parser.isSet(help)) {
        // The usage line names the program as it is installed, not by its path.
        QString text = parser.helpText();
        text.replace(arguments.value(0), "framewright-convert");
        std::fputs(qPrintable(text), stdout);
        return {std::nullopt, 0};
    }
    if (parser.isSet(version)) {
        std::printf("framewright-convert %s\n", FW_VERSION);
        return {std::nullopt, 0};
    }

    Options o;
    const QStringList dirs = parser.positionalArguments();
    o.inputDirs = dirs.size() == 1 ? dirs : dirs.mid(0, dirs.size() - 1);
    if (dirs.size() > 1)
        o.outputDir = dirs.last();
    if (parser.isSet(quality)) {
        o.quality = numberIn(parser.value(quality), 0, 100);
        if (!o.quality)
            return {std::nullopt, usageError("the quality must be a whole number from 0 to 100, not '"
                                             + parser.value(quality) + "'")};
    }
    o.jobs = QThread::idealThreadCount();
    if (parser.isSet(jobs)) {
        const auto n = numberIn(parser.value(jobs), 1, kMostJobs);
        if (!n)
            return {std::nullopt, usageError(QString("the number of jobs must be a whole number from 1 to %1, "
                                                     "not '%2'")
                                                 .arg(kMostJobs)
                                                 .arg(parser.value(jobs)))};
        o.jobs = *n;
    }
    o.deleteAfter = parser.isSet(remove);
    o.dryRun = parser.isSet(dryRun);
    o.watch = parser.isSet(watch);
    o.newOnly = parser.isSet(newOnly);
    o.normalPriority = parser.isSet(normalPriority);
    o.quiet = parser.isSet(quiet);
    if (parser.isSet(smaller))
        o.coding = JpegEncoder::Coding::OptimisedTables;
    if (parser.isSet(progressive))
        o.coding = JpegEncoder::Coding::Progressive;
    if (o.newOnly && !o.watch)
        return {std::nullopt, usageError("--new-only needs --watch")};
    if (o.normalPriority && !o.watch)
        return {std::nullopt, usageError("--normal-priority needs --watch")};
    if (o.dryRun && o.watch)
        return {std::nullopt, usageError("--dry-run and --watch do not go together")};
    return {o, 0};
}
