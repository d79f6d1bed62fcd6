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

// What differs per platform, all here: where Steam is, and where the fixed
// defaults land.
#ifdef Q_OS_WIN

QStringList steamRootsOfThisUser(const QString& registry)
{
    const QString steam =
        MdlRegAll::ReadRegFolder(registry, MdlRegAll::RegRoot::CurrentUser, QStringLiteral("Software\\Valve\\Steam"),
                                 QStringLiteral("SteamPath"));
    return steam.isEmpty() ? QStringList{} : QStringList{QDir::cleanPath(steam)};
}

QString defaultOutput(const Environment&) { return QStringLiteral("C:\\CS_JPEG\\"); }

#else

QStringList steamRootsOfThisUser(const QString&) { return SteamLibrary::SteamRoots(QDir::homePath()); }

// The game's own default output goes into the user's pictures.
QString defaultOutput(const Environment& env) { return env.picturesDir + QStringLiteral("/CS_JPEG/"); }

#endif

QString readRegistry(const Environment& env, const QString& key, const QString& value)
{
    return MdlRegAll::ReadRegFolder(env.registry, MdlRegAll::RegRoot::LocalMachine, key, value);
}

// The game's own places in turn; "" when none names an existing directory.
QString detected(const Environment& env)
{
    const QString sierra = readRegistry(env, kSierraKey, QStringLiteral("Directory"));
    if (!sierra.isEmpty())
        return sierra;
    const QString appPaths = readRegistry(env, kAppPathsKey, QStringLiteral("Path"));
    if (!appPaths.isEmpty())
        return appPaths;
    // A value left behind by an uninstalled copy must not hide a Steam one.
    const QString steam = SteamLibrary::FindHalfLifeScreenshots(env.steamRoots);
    if (Directories::exists(steam))
        return steam;
    return {};
}

} // namespace

Environment currentEnvironment()
{
    Environment env;
    env.registry = MdlRegAll::ThisUsersRegistry();
    env.steamRoots = steamRootsOfThisUser(env.registry);
    const QString home = QDir::homePath();
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    env.picturesDir = !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : home;
    return env;
}

Found search(const Environment& env)
{
    Found found;
    found.outputPath = defaultOutput(env);
    // Shown in the window and stored: on Windows with backslashes only,
    // whatever Steam's files and Qt's joins use.
    found.inputPath = QDir::toNativeSeparators(detected(env));
    if (found.inputPath.isEmpty()) {
        found.proposedDefault = true;
        found.inputPath = MdlRegAll::LocalPath(env.registry, kSierraDefault);
    }
    found.inputExists = Directories::exists(found.inputPath);
    return found;
}

} // namespace GameDirectory
