#include "Options.h"

#include <QCommandLineParser>
#include <QThread>
#include <cstdio>

namespace {

constexpr int kUsageError = 2;
constexpr int kMostJobs = 256;

const char* const kDescription = "Converts Half-Life's screenshots into numbered JPEG files, the same way\n"
                                 "Framewright's window does: c1a00003.bmp becomes c1a00000.JPG, or the\n"
                                 "lowest free number after it. Unlike the window, which converts *.bmp only,\n"
                                 "it also converts the *.tga files of the game's screenshot command\n"
                                 "(HalfLife07.tga, taken with no map loaded, becomes HalfLife0000.JPG), and\n"
                                 "once 0000 to 9998 are all taken (a recorded movie) it goes on with 9999,\n"
                                 "10000 and so on up to 99999. An existing file is never overwritten, and a\n"
                                 "screenshot is deleted (with --delete) only once its JPEG is safely on the\n"
                                 "disk. Names of 8 characters or fewer and files under 360000 bytes (for a\n"
                                 "TGA file: its picture as a bitmap) are skipped.\n"
                                 "\n"
                                 "The directories come from the arguments, else from Framewright's saved\n"
                                 "settings, else from the first-start search (Wine, Steam). The quality comes\n"
                                 "from --quality, else the saved settings, else 90.\n"
                                 "\n"
                                 "Half-Life saves each mod's screenshots in the mod's folder: valve, cstrike\n"
                                 "and so on. Given the game's folder, the one that holds them, it converts\n"
                                 "from every mod folder in it (each folder with a liblist.gam), and --watch\n"
                                 "also follows a mod installed later. Several input folders may be named:\n"
                                 "then the last folder named is the output folder. The JPEG files of every\n"
                                 "folder go into the one output folder. For example, with the game's folder\n"
                                 "in HL (Steam's is ~/.steam/steam/steamapps/common/Half-Life):\n"
                                 "  framewright-convert --watch \"$HL\" ~/Pictures/Half-Life\n"
                                 "  framewright-convert \"$HL/valve\" \"$HL/cstrike\" ~/Pictures/Half-Life\n"
                                 "\n"
                                 "--watch runs at idle processor and disk priority, so that a game never waits\n"
                                 "for it: it converts in the time the game leaves over. The systemd user unit\n"
                                 "framewright-watch.service runs it that way (systemctl --user enable --now\n"
                                 "framewright-watch); to watch other folders than the saved ones, add them\n"
                                 "with 'systemctl --user edit framewright-watch'.\n"
                                 "\n"
                                 "Exit status: 0 when every screenshot was converted or skipped, 1 when any\n"
                                 "failed, 2 for a usage error, 130 after SIGINT and 143 after SIGTERM.";

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
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
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
