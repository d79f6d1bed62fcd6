// The first start's search for the game: Wine's registry file, Steam's
// libraries and the fixed defaults, on fixture prefixes and homes.
#include "TempDir.h"
#include "detection/GameDirectory.h"
#include "detection/MdlRegAll.h"
#include "detection/SteamLibrary.h"
#include "detection/WineRegistryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using MdlRegAll::ReadRegString;
using MdlRegAll::RegRoot;
using MdlRegAll::RegView;

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

TEST_F(WineRegistry, StringValuesAreReadAsWindowsWroteThem)
{
    const QByteArray sierra = "[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1700000000\n#time=1d9f0a1b2c3d4e5\n";
    const QByteArray environment = "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1\n"
                                   "\"ProgramFiles\"=\"C:\\\\Program Files\"\n";
    const struct {
        const char* name;
        QByteArray registry;
        QString key, value;
        QString expected; // "" for absent
    } rows[] = {
        {"a plain string", sierra + "\"Directory\"=\"C:\\\\SIERRA\\\\half-life\"\n", kSierra, "Directory",
         "C:\\SIERRA\\half-life"},
        {"key and value names ignore case",
         "[software\\\\sierra online\\\\setup\\\\hlifefe] 1\n\"DIRECTORY\"=\"C:\\\\Games\\\\\"\n", kSierra, "Directory",
         "C:\\Games\\"},
        {"str(2) expanded from the system's environment",
         sierra + "\"Directory\"=str(2):\"%ProgramFiles%\\\\Sierra\\\\%Unknown%%\"\n" + environment, kSierra,
         "Directory", "C:\\Program Files\\Sierra\\%Unknown%%"},
        {"multi string", sierra + "\"Directory\"=str(7):\"C:\\\\a\\0C:\\\\b\\0\"\n", kSierra, "Directory", ""},
        {"the default value is written @", sierra + "@=\"C:\\\\Default\"\n", kSierra, "", "C:\\Default"},
        {"text stops at the first NUL", sierra + "\"Directory\"=\"C:\\\\Nul\\0junk after it\"\n", kSierra, "Directory",
         "C:\\Nul"},
        {"escapes are undone", sierra + "\"Directory\"=\"C:\\\\say \\\"hi\\\"\\ttab \\x00e9t\\x00e9\"\n", kSierra,
         "Directory", QString::fromUtf8("C:\\say \"hi\"\ttab été")},
        {"missing value", sierra + "\"Other\"=\"C:\\\\y\"\n", kSierra, "Directory", ""},
        {"same value under another key", "[Software\\\\Other] 1\n\"Directory\"=\"C:\\\\x\"\n", kSierra, "Directory",
         ""},
    };
    EXPECT_EQ(ReadRegString(prefix, RegRoot::LocalMachine, RegView::Native, kSierra, "Directory"), "")
        << "no system.reg";
    for (const auto& row : rows) {
        writeRegistry(row.registry);
        EXPECT_EQ(ReadRegString(prefix, RegRoot::LocalMachine, RegView::Native, row.key, row.value), row.expected)
            << row.name;
    }
}

// ---- Steam -------------------------------------------------------------

using Steam = Fixture;

TEST_F(Steam, GameInTheLastOfThreeLibrariesListedInLibraryfoldersVdf)
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
}

// A Half-Life folder left behind under the main Steam folder, with no
// manifest, does not hide the installs that Steam's manifests name on other
// drives; of those, the mod folder with the newest bitmap wins, whatever the
// case of its name (a newer file that is no bitmap does not count).
TEST_F(Steam, TheNewestScreenshotOfTheInstallsWhoseManifestSaysTheyHoldTheGame)
{
    const QString leftover = steam + "/steamapps/common/Half-Life";
    const QString drive = tmp.path() + "/d/SteamLibrary", other = tmp.path() + "/e/SteamLibrary";
    mkdirs(steam + "/steamapps");
    fwtest::writeAll(steam + "/steamapps/libraryfolders.vdf",
                     "\"libraryfolders\"\n{\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + drive.toUtf8()
                         + "\"\n\t}\n\t\"2\"\n\t{\n\t\t\"path\"\t\t\"" + other.toUtf8() + "\"\n\t}\n}\n");
    const QString install = installIn(drive), older = installIn(other, "Half-Life Old");
    const std::pair<QString, int> ages[] = {{leftover + "/valve/c1a00000.bmp", 0},
                                            {install + "/cstrike/de_dust0000.BMP", 60},
                                            {older + "/valve/c2a00000.bmp", 600},
                                            {older + "/gearbox/newer.txt", 0}};
    for (const auto& [path, secondsAgo] : ages) {
        mkdirs(QFileInfo(path).path());
        fwtest::writeAll(path, "BM");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo), QFile::FileModificationTime));
    }
    EXPECT_EQ(SteamLibrary::FindHalfLifeScreenshots({steam}), install + "/cstrike");
    QDir(drive).removeRecursively();
    QDir(other).removeRecursively();
    EXPECT_EQ(SteamLibrary::FindHalfLifeScreenshots({steam}), leftover + "/valve")
        << "a folder without a manifest is still better than nothing";
}

// ---- The whole search ----------------------------------------------------

using Search = Fixture;

TEST_F(Search, RegistryThenSteamThenTheFixedDefault)
{
    const QByteArray sierraKey = "[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n";
    const QByteArray appPathsKey = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\hl.exe] 1\n";
    const QByteArray wow32AppPathsKey =
        "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\hl.exe] 1\n";
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
        {"App Paths when Sierra's is no string",
         sierraKey + "\"Directory\"=dword:00000001\n" + appPathsKey + "\"Path\"=\"C:\\\\Valve\\\\HL\"\n", local,
         "/Valve/HL"},
        {"App Paths when Sierra's folder is gone",
         sierraKey + "\"Directory\"=\"C:\\\\Gone\"\n" + appPathsKey + "\"Path\"=\"C:\\\\Valve\\\\HL\"\n", nullptr,
         "/Valve/HL"},
        {"App Paths' 32-bit view when its native folder is gone",
         appPathsKey + "\"Path\"=\"C:\\\\Gone\"\n" + wow32AppPathsKey + "\"Path\"=\"C:\\\\Valve\\\\HL\"\n", local,
         "/Valve/HL"},
        {"Steam when Wine has nothing", "", local, "steam"},
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
