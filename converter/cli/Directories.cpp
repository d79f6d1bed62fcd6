#include "Directories.h"

#include "engine/Settings.h"
#include "window/detection/GameDirectory.h"

namespace {

constexpr int kDefaultQuality = 90;

} // namespace

RunSetup chooseDirectories(const Options& options)
{
    const std::optional<Settings> saved = Settings::load(Settings::defaultFile());
    // The search reads the Wine prefix and Steam's libraries: only when needed.
    std::optional<GameDirectory::Found> found;
    const auto search = [&found]() -> const GameDirectory::Found& {
        if (!found)
            found = GameDirectory::search(GameDirectory::currentEnvironment());
        return *found;
    };

    RunSetup setup;
    const auto pick = [&](const char* what, const QString& given, const QString& stored, auto searched) {
        if (!given.isEmpty()) {
            setup.origins << QString("%1 directory: %2 (from the command line)").arg(what, given);
            return given;
        }
        if (!stored.isEmpty()) {
            setup.origins << QString("%1 directory: %2 (from the saved settings)").arg(what, stored);
            return stored;
        }
        const QString path = searched();
        setup.origins << QString("%1 directory: %2 (found by the first-start search)").arg(what, path);
        return path;
    };
    setup.inputDir = pick("Input", options.inputDir, saved ? saved->inputPath : QString(),
                          [&] { return search().inputPath; });
    setup.outputDir = pick("Output", options.outputDir, saved ? saved->outputPath : QString(),
                           [&] { return search().outputPath; });
    setup.quality = options.quality.value_or(saved ? saved->quality : kDefaultQuality);
    return setup;
}
