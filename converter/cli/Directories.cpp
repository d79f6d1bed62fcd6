#include "Directories.h"

#include "ModFolders.h"
#include "core/Settings.h"
#include "detection/GameDirectory.h"

RunSetup chooseDirectories(const Options& options)
{
    // Nothing stored reads as the defaults: no directories, quality 90.
    const Settings saved = Settings::load(Settings::defaultFile()).value_or(Settings{});
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
    for (const QString& given : options.inputDirs)
        setup.inputDirs << pick("Input", given, {}, [] { return QString(); });
    if (options.inputDirs.isEmpty()) {
        const QString input = pick("Input", {}, saved.inputPath, [&] { return search().inputPath; });
        // The game saves each mod's screenshots in the mod's folder: a watch
        // of valve alone misses every Counter-Strike screenshot.
        const QString game = options.watch ? ModFolders::gameFolderOf(input) : input;
        if (game != input)
            setup.origins << QString("Following every mod folder of the game in %1").arg(game);
        setup.inputDirs << game;
    }
    setup.outputDir = pick("Output", options.outputDir, saved.outputPath, [&] { return search().outputPath; });
    setup.quality = options.quality.value_or(saved.quality);
    setup.deleteAfter = options.deleteAfter;
    if (options.watch && options.inputDirs.isEmpty() && saved.deleteAfterConversion && !options.deleteAfter) {
        setup.deleteAfter = true;
        setup.origins << "Deleting each screenshot once its JPEG is on the disk (the saved Delete choice)";
    }
    return setup;
}
