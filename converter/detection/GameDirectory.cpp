#include "detection/GameDirectory.h"

#include "core/Directories.h"
#include "detection/MdlRegAll.h"
#include "detection/SteamLibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace GameDirectory {

namespace {

const QString kSierraKey = QStringLiteral("Software\\Sierra OnLine\\Setup\\HLIFEFE");
const QString kAppPathsKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hl.Exe");
const QString kSierraDefault = QStringLiteral("C:\\Sierra\\Half-Life\\");

QString readRegistry([[maybe_unused]] const Environment& env, const QString& key, const QString& value)
{
#ifdef Q_OS_WIN
    return MdlRegAll::ReadRegString(MdlRegAll::RegRoot::LocalMachine, key, value);
#else
    return MdlRegAll::ReadRegString(env.winePrefix, MdlRegAll::RegRoot::LocalMachine, key, value);
#endif
}

// The game's own places in turn; "" when none names an existing directory.
QString detected(const Environment& env)
{
    const QString sierra = readRegistry(env, kSierraKey, QStringLiteral("Directory"));
    if (Directories::exists(sierra))
        return sierra;
    const QString appPaths = readRegistry(env, kAppPathsKey, QStringLiteral("Path"));
    if (Directories::exists(appPaths))
        return appPaths;
#ifndef Q_OS_WIN
    // A value left behind by an uninstalled copy must not hide a Steam one.
    const QString steam = SteamLibrary::FindHalfLifeScreenshots(env.home);
    if (Directories::exists(steam))
        return steam;
#endif
    return {};
}

} // namespace

Environment currentEnvironment()
{
    Environment env;
#ifndef Q_OS_WIN
    env.winePrefix = MdlRegAll::WinePrefix();
#endif
    env.home = QDir::homePath();
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    env.picturesDir = !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : env.home;
    return env;
}

Found search(const Environment& env)
{
    Found found;
#ifdef Q_OS_WIN
    found.outputPath = QStringLiteral("C:\\CS_JPEG\\");
#else
    // The game's own default places, translated: the output goes into the
    // user's pictures, the game is looked for in Wine and in Steam.
    found.outputPath = env.picturesDir + QStringLiteral("/CS_JPEG/");
#endif
    found.inputPath = detected(env);
    if (found.inputPath.isEmpty()) {
        found.proposedDefault = true;
#ifdef Q_OS_WIN
        found.inputPath = kSierraDefault;
#else
        found.inputPath = MdlRegAll::MapWinePath(env.winePrefix, kSierraDefault);
#endif
    }
    found.inputExists = Directories::exists(found.inputPath);
    return found;
}

} // namespace GameDirectory
