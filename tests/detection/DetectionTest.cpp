// The first start's search for the game: Wine's registry file, Steam's
// libraries and the fixed defaults, on fixture prefixes and homes.
#include "TempDir.h"
#include "detection/GameDirectory.h"
#include "detection/MdlRegAll.h"
#include "detection/SteamLibrary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using MdlRegAll::MapWinePath;
using MdlRegAll::ReadRegString;
using MdlRegAll::RegRoot;

const QString kSierra = QStringLiteral("Software\\Sierra OnLine\\Setup\\HLIFEFE");
const QString kAppPaths = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hl.Exe");

void mkdirs(const QString& path) { ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString(); }

// A home with a Wine prefix as wineboot leaves it (drive_c, dosdevices/c:
// -> ../drive_c) and a Pictures folder.
class Fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        mkdirs(prefix + "/drive_c");
        mkdirs(prefix + "/dosdevices");
        mkdirs(home + "/Pictures");
        ASSERT_TRUE(QFile::link("../drive_c", prefix + "/dosdevices/c:"));
    }
    void writeRegistry(const QByteArray& body)
    {
        fwtest::writeAll(prefix + "/system.reg",
                         "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n" + body);
    }
    // A Steam library with Half-Life installed under the given folder name.
    QString installIn(const QString& library, const QString& installDir = "Half-Life")
    {
        mkdirs(library + "/steamapps/common/" + installDir + "/valve");
        fwtest::writeAll(library + "/steamapps/appmanifest_70.acf",
                         "\"AppState\"\n{\n\t\"appid\"\t\t\"70\"\n\t\"name\"\t\t\"Half-Life\"\n"
                         "\t\"installdir\"\t\t\""
                             + installDir.toUtf8() + "\"\n}\n");
        return library + "/steamapps/common/" + installDir;
    }
    fwtest::TempDir tmp;
    const QString prefix = tmp.path() + "/wine";
    const QString home = tmp.path() + "/home";
    const QString steam = home + "/.local/share/Steam";
};

using WineRegistry = Fixture;

TEST_F(WineRegistry, ValuesAreReadAsPlainStringsAndMappedOntoTheDrive)
{
    const QByteArray sierra = "[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1700000000\n#time=1d9f0a1b2c3d4e5\n";
    const struct {
        const char* name;
        QByteArray registry;
        QString key, value;
        QString expected; // below <prefix>/dosdevices/c:, or "" for absent
    } rows[] = {
        {"a plain string, folders matched ignoring case", sierra + "\"Directory\"=\"C:\\\\SIERRA\\\\half-life\"\n",
         kSierra, "Directory", "/sierra/Half-Life"},
        {"key and value names ignore case",
         "[software\\\\sierra online\\\\setup\\\\hlifefe] 1\n\"DIRECTORY\"=\"C:\\\\Games\\\\\"\n", kSierra, "Directory",
         "/Games/"},
        {"explicit str(1)", sierra + "\"Directory\"=str(1):\"C:\\\\Explicit\"\n", kSierra, "Directory", "/Explicit"},
        {"multi string", sierra + "\"Directory\"=str(7):\"C:\\\\a\\0C:\\\\b\\0\"\n", kSierra, "Directory", ""},
        {"dword", sierra + "\"Directory\"=dword:00000001\n", kSierra, "Directory", ""},
        {"bytes", sierra + "\"Directory\"=hex:43,3a,5c\n", kSierra, "Directory", ""},
        {"the default value is written @", sierra + "@=\"C:\\\\Default\"\n", kSierra, "", "/Default"},
        {"text stops at the first NUL", sierra + "\"Directory\"=\"C:\\\\Nul\\0junk after it\"\n", kSierra, "Directory",
         "/Nul"},
        {"escapes are undone", sierra + "\"Directory\"=\"C:\\\\say \\\"hi\\\"\\ttab \\x00e9t\\x00e9\"\n", kSierra,
         "Directory", QString::fromUtf8("/say \"hi\"\ttab été")},
        {"missing value", sierra + "\"Other\"=\"C:\\\\y\"\n", kSierra, "Directory", ""},
        {"same value under another key", "[Software\\\\Other] 1\n\"Directory\"=\"C:\\\\x\"\n", kSierra, "Directory",
         ""},
        {"32-bit keys under Wow6432Node",
         "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\hl.exe] 1\n"
         "\"Path\"=\"C:\\\\Valve\\\\HL\"\n",
         kAppPaths, "Path", "/Valve/HL"},
    };
    mkdirs(prefix + "/drive_c/sierra/Half-Life");
    EXPECT_EQ(ReadRegString(prefix, RegRoot::LocalMachine, kSierra, "Directory"), "") << "no system.reg";
    for (const auto& row : rows) {
        writeRegistry(row.registry);
        const QString expected = row.expected.isEmpty() ? "" : prefix + "/dosdevices/c:" + row.expected;
        EXPECT_EQ(ReadRegString(prefix, RegRoot::LocalMachine, row.key, row.value), expected) << row.name;
    }
}

TEST_F(WineRegistry, WindowsPathsAreMappedOntoThePrefixsDrives)
{
    mkdirs(prefix + "/drive_c/Program Files");
    EXPECT_EQ(MapWinePath(prefix, "c:\\PROGRAM FILES\\Valve\\"), prefix + "/dosdevices/c:/Program Files/Valve/");
    EXPECT_EQ(MapWinePath(prefix, "C:\\"), prefix + "/dosdevices/c:/");
    EXPECT_EQ(MapWinePath(prefix, "relative\\path"), "relative\\path");
    // z: is the whole Linux file system in a default prefix.
    ASSERT_TRUE(QFile::link("/", prefix + "/dosdevices/z:"));
    EXPECT_TRUE(QFileInfo(MapWinePath(prefix, "Z:\\tmp")).isDir());
    // Without dosdevices, C: is drive_c.
    ASSERT_TRUE(QFile::remove(prefix + "/dosdevices/c:"));
    EXPECT_EQ(MapWinePath(prefix, "C:\\Sierra\\Half-Life\\"), prefix + "/drive_c/Sierra/Half-Life/");
}

// ---- Steam -------------------------------------------------------------

using Steam = Fixture;

TEST_F(Steam, GameInTheLastOfThreeLibrariesListedInLibraryfoldersVdfOfEitherLayout)
{
    mkdirs(steam + "/steamapps");
    const QString second = tmp.path() + "/ssd/SteamLibrary", library = tmp.path() + "/games/SteamLibrary";
    const auto entry = [](const char* index, const QString& path, const char* app) {
        return "\t\"" + QByteArray(index) + "\"\n\t{\n\t\t\"path\"\t\t\"" + path.toUtf8()
               + "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"" + app + "\"\t\t\"1\"\n\t\t}\n\t}\n";
    };
    fwtest::writeAll(steam + "/steamapps/libraryfolders.vdf", "\"libraryfolders\"\n{\n" + entry("0", steam, "228980")
                                                                  + entry("1", second, "10") + entry("2", library, "70")
                                                                  + "}\n");
    mkdirs(second + "/steamapps/common/Counter-Strike"); // another game only
    const QString install = installIn(library, "Half-Life GOTY");
    EXPECT_EQ(SteamLibrary::LibraryFolders(steam), QStringList({steam, second, library}));
    EXPECT_EQ(SteamLibrary::FindHalfLifeScreenshots(SteamLibrary::SteamRoots(home)), install + "/valve");

    // The old layout: the libraries as numbered values beside other keys.
    const QString old = home + "/.steam/steam";
    mkdirs(old + "/SteamApps");
    fwtest::writeAll(old + "/SteamApps/libraryfolders.vdf",
                     "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1600000000\"\n"
                     "\t\"ContentStatsID\"\t\t\"-123\"\n\t\"1\"\t\t\"/mnt/games\"\n}\n");
    EXPECT_EQ(SteamLibrary::LibraryFolders(old), QStringList({old, "/mnt/games"}));
}

TEST_F(Steam, TheModFolderWithTheNewestBitmapIsTheAnswer)
{
    const QString install = installIn(steam);
    // The newest bitmap, in capitals, is in cstrike; gearbox's newest file is no bitmap.
    const std::pair<const char*, int> ages[] = {{"/valve/c1a00000.bmp", 3600},
                                                {"/cstrike/de_dust0000.BMP", 60},
                                                {"/gearbox/of1a10000.bmp", 600},
                                                {"/gearbox/newer.txt", 0}};
    for (const auto& [name, secondsAgo] : ages) {
        mkdirs(QFileInfo(install + name).path());
        fwtest::writeAll(install + name, "BM");
        QFile f(install + name);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo), QFile::FileModificationTime));
    }
    EXPECT_EQ(SteamLibrary::ScreenshotFolder(install), install + "/cstrike");
}

// ---- The whole search ----------------------------------------------------

using Search = Fixture;

TEST_F(Search, RegistryThenSteamThenTheFixedDefault)
{
    const QByteArray sierraKey = "[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n";
    const QByteArray appPathsKey = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\hl.exe] 1\n";
    const char* const local = "/.local/share/Steam";
    const struct {
        const char* name;
        QByteArray registry;
        const char* steamRoot; // below home, where Half-Life is installed; nullptr: nowhere
        QString expected;      // "steam", "default" or below the prefix's c:
    } rows[] = {
        {"Sierra's entry first",
         sierraKey + "\"Directory\"=\"C:\\\\Sierra\\\\HL\"\n" + appPathsKey + "\"Path\"=\"C:\\\\Valve\\\\HL\"\n", local,
         "/Sierra/HL"},
        {"App Paths when Sierra's is no plain string",
         sierraKey + "\"Directory\"=str(2):\"C:\\\\Sierra\\\\HL\"\n" + appPathsKey + "\"Path\"=\"C:\\\\Valve\\\\HL\"\n",
         local, "/Valve/HL"},
        {"App Paths when Sierra's folder is gone",
         sierraKey + "\"Directory\"=\"C:\\\\Gone\"\n" + appPathsKey + "\"Path\"=\"C:\\\\Valve\\\\HL\"\n", nullptr,
         "/Valve/HL"},
        {"Steam when Wine has nothing", "", local, "steam"},
        {"Steam under Flatpak", "", "/.var/app/com.valvesoftware.Steam/.local/share/Steam", "steam"},
        {"Steam under Snap", "", "/snap/steam/common/.local/share/Steam", "steam"},
        {"Steam when App Paths' folder is gone", appPathsKey + "\"Path\"=\"C:\\\\Uninstalled\\\\HL\"\n", local,
         "steam"},
        {"the default when every folder is gone",
         sierraKey + "\"Directory\"=\"C:\\\\Gone\"\n" + appPathsKey + "\"Path\"=\"C:\\\\Gone\\\\Too\"\n", nullptr,
         "default"},
    };
    mkdirs(prefix + "/drive_c/Sierra/HL");
    mkdirs(prefix + "/drive_c/Valve/HL");
    GameDirectory::Environment env{prefix, {}, home + "/Pictures"};
    for (const auto& row : rows) {
        writeRegistry(row.registry);
        QDir(home).removeRecursively();
        const QString install = row.steamRoot ? installIn(home + row.steamRoot) + "/valve" : QString();
        env.steamRoots = SteamLibrary::SteamRoots(home);
        const GameDirectory::Found found = GameDirectory::search(env);
        const QString expected = row.expected == "steam"     ? install
                                 : row.expected == "default" ? prefix + "/dosdevices/c:/Sierra/Half-Life/"
                                                             : prefix + "/dosdevices/c:" + row.expected;
        EXPECT_EQ(found.inputPath, expected) << row.name;
        EXPECT_EQ(found.proposedDefault, row.expected == "default") << row.name;
        EXPECT_EQ(found.inputExists, row.expected != "default") << row.name;
        EXPECT_EQ(found.outputPath, home + "/Pictures/CS_JPEG/") << row.name;
    }
}

} // namespace
