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

// What differs per platform, all here: where the registry is, and where the
// fixed defaults land.
#ifdef Q_OS_WIN

QString readRegistry(const Environment&, const QString& key, const QString& value)
{
    return MdlRegAll::ReadRegString(MdlRegAll::RegRoot::LocalMachine, key, value);
}

QStringList steamRootsOfThisUser()
{
    const QString steam = MdlRegAll::ReadRegString(
        MdlRegAll::RegRoot::CurrentUser, QStringLiteral("Software\\Valve\\Steam"), QStringLiteral("SteamPath"));
    return Directories::exists(steam) ? QStringList{QDir::cleanPath(steam)} : QStringList{};
}

QString defaultOutput(const Environment&) { return QStringLiteral("C:\\CS_JPEG\\"); }

QString defaultInput(const Environment&) { return kSierraDefault; }

#else

QString readRegistry(const Environment& env, const QString& key, const QString& value)
{
    return MdlRegAll::ReadRegString(env.winePrefix, MdlRegAll::RegRoot::LocalMachine, key, value);
}

QStringList steamRootsOfThisUser() { return SteamLibrary::SteamRoots(QDir::homePath()); }

// The game's own default places, translated: the output goes into the
// user's pictures, the game's default folder into the Wine prefix.
QString defaultOutput(const Environment& env) { return env.picturesDir + QStringLiteral("/CS_JPEG/"); }

QString defaultInput(const Environment& env) { return MdlRegAll::MapWinePath(env.winePrefix, kSierraDefault); }

#endif

// The game's own places in turn; "" when none names an existing directory.
QString detected(const Environment& env)
{
    const QString sierra = readRegistry(env, kSierraKey, QStringLiteral("Directory"));
    if (Directories::exists(sierra))
        return sierra;
    const QString appPaths = readRegistry(env, kAppPathsKey, QStringLiteral("Path"));
    if (Directories::exists(appPaths))
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
#ifndef Q_OS_WIN
    env.winePrefix = MdlRegAll::WinePrefix();
#endif
    env.steamRoots = steamRootsOfThisUser();
    const QString home = QDir::homePath();
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    env.picturesDir = !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : home;
    return env;
}

Found search(const Environment& env)
{
    Found found;
    found.outputPath = defaultOutput(env);
    found.inputPath = detected(env);
    if (found.inputPath.isEmpty()) {
        found.proposedDefault = true;
        found.inputPath = defaultInput(env);
    }
    found.inputExists = Directories::exists(found.inputPath);
    return found;
}

} // namespace GameDirectory
