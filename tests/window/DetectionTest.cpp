#include "TempDir.h"
#include "window/detection/MdlRegAll.h"
#include "window/detection/SteamLibrary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using MdlRegAll::MapWinePath;
using MdlRegAll::ReadRegString;
using MdlRegAll::ReadSystemRegString;
using MdlRegAll::RegRoot;

const QString kSierra = QStringLiteral("Software\\Sierra OnLine\\Setup\\HLIFEFE");
const QString kAppPaths = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hl.Exe");

void mkdirs(const QString& path) { ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString(); }

// A Wine prefix as wineboot leaves it: drive_c, dosdevices/c: -> ../drive_c,
// and a system.reg with the given body.
class WinePrefix : public ::testing::Test {
protected:
    void SetUp() override
    {
        prefix = tmp.path() + "/wine";
        mkdirs(prefix + "/drive_c");
        mkdirs(prefix + "/dosdevices");
        ASSERT_TRUE(QFile::link("../drive_c", prefix + "/dosdevices/c:"));
    }
    void writeRegistry(const QByteArray& body)
    {
        fwtest::writeAll(prefix + "/system.reg",
                         "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
                             + body);
    }
    QString read(const QString& key, const QString& value)
    {
        return ReadRegString(prefix, RegRoot::LocalMachine, key, value);
    }
    fwtest::TempDir tmp;
    QString prefix;
};

TEST_F(WinePrefix, PlainStringIsReadAndMappedOntoTheDriveIgnoringCase)
{
    mkdirs(prefix + "/drive_c/sierra/Half-Life");
    writeRegistry("[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1700000000\n"
                  "#time=1d9f0a1b2c3d4e5\n"
                  "\"Directory\"=\"C:\\\\SIERRA\\\\half-life\"\n");
    const QString path = read(kSierra, "Directory");
    EXPECT_EQ(path, prefix + "/dosdevices/c:/sierra/Half-Life");
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(WinePrefix, KeyAndValueNamesMatchWithoutRegardToCase)
{
    writeRegistry("[software\\\\sierra online\\\\setup\\\\hlifefe] 1700000000\n"
                  "\"DIRECTORY\"=\"C:\\\\Games\\\\\"\n");
    EXPECT_EQ(read(kSierra, "Directory"), prefix + "/dosdevices/c:/Games/");
}

TEST_F(WinePrefix, OnlyPlainStringsCount)
{
    writeRegistry("[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n"
                  "\"Directory\"=str(2):\"C:\\\\Expand\"\n"
                  "\"Multi\"=str(7):\"C:\\\\a\\0C:\\\\b\\0\"\n"
                  "\"Number\"=dword:00000001\n"
                  "\"Bytes\"=hex:43,3a,5c\n"
                  "\"Explicit\"=str(1):\"C:\\\\Explicit\"\n");
    EXPECT_EQ(read(kSierra, "Directory"), "");
    EXPECT_EQ(read(kSierra, "Multi"), "");
    EXPECT_EQ(read(kSierra, "Number"), "");
    EXPECT_EQ(read(kSierra, "Bytes"), "");
    EXPECT_EQ(read(kSierra, "Explicit"), prefix + "/dosdevices/c:/Explicit");
}

TEST_F(WinePrefix, TextStopsAtTheFirstNulAndEscapesAreUndone)
{
    writeRegistry("[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n"
                  "\"Directory\"=\"D-Games\\0junk after the NUL\"\n"
                  "\"Quoted\"=\"say \\\"hi\\\"\\ttab \\x00e9t\\x00e9\"\n");
    const QString raw = ReadSystemRegString(prefix + "/system.reg", kSierra, "Directory");
    EXPECT_EQ(raw, "D-Games");
    EXPECT_EQ(ReadSystemRegString(prefix + "/system.reg", kSierra, "Quoted"),
              QString::fromUtf8("say \"hi\"\ttab été"));
}

TEST_F(WinePrefix, MissingKeyValueFileOrPrefixGiveTheEmptyString)
{
    EXPECT_EQ(read(kSierra, "Directory"), ""); // no system.reg yet
    writeRegistry("[Software\\\\Other] 1\n\"Directory\"=\"C:\\\\x\"\n"
                  "[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n\"Other\"=\"C:\\\\y\"\n");
    EXPECT_EQ(read(kSierra, "Directory"), "");
    EXPECT_EQ(read("Software\\Nothing", "Directory"), "");
    EXPECT_EQ(ReadRegString(tmp.path() + "/no-prefix", RegRoot::LocalMachine, kSierra, "Directory"), "");
}

TEST_F(WinePrefix, ThirtyTwoBitKeysAreFoundUnderWow6432Node)
{
    writeRegistry("[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths\\\\hl.exe] 1\n"
                  "\"Path\"=\"C:\\\\Valve\\\\HL\"\n");
    EXPECT_EQ(read(kAppPaths, "Path"), prefix + "/dosdevices/c:/Valve/HL");
}

TEST_F(WinePrefix, DefaultValueIsWrittenWithAnAt)
{
    writeRegistry("[Software\\\\Sierra OnLine\\\\Setup\\\\HLIFEFE] 1\n@=\"C:\\\\Default\"\n");
    EXPECT_EQ(read(kSierra, ""), prefix + "/dosdevices/c:/Default");
}

TEST_F(WinePrefix, MappingKeepsUnknownPartsAndOtherDrives)
{
    mkdirs(prefix + "/drive_c/Program Files");
    EXPECT_EQ(MapWinePath(prefix, "c:\\PROGRAM FILES\\Valve\\"), prefix + "/dosdevices/c:/Program Files/Valve/");
    EXPECT_EQ(MapWinePath(prefix, "C:\\"), prefix + "/dosdevices/c:/");
    // z: is the whole Linux file system in a default prefix.
    ASSERT_TRUE(QFile::link("/", prefix + "/dosdevices/z:"));
    EXPECT_EQ(MapWinePath(prefix, "Z:\\tmp"), prefix + "/dosdevices/z:/tmp");
    EXPECT_TRUE(QFileInfo(MapWinePath(prefix, "Z:\\tmp")).isDir());
    EXPECT_EQ(MapWinePath(prefix, "relative\\path"), "relative\\path");
}

TEST_F(WinePrefix, DriveCFallsBackToDriveCWithoutDosdevices)
{
    ASSERT_TRUE(QFile::remove(prefix + "/dosdevices/c:"));
    EXPECT_EQ(MapWinePath(prefix, "C:\\Sierra\\Half-Life\\"), prefix + "/drive_c/Sierra/Half-Life/");
}

TEST(WinePrefixVariable, WinePrefixComesFromTheEnvironmentElseHome)
{
    const QByteArray saved = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", "/somewhere/prefix");
    EXPECT_EQ(MdlRegAll::WinePrefix(), "/somewhere/prefix");
    qunsetenv("WINEPREFIX");
    EXPECT_EQ(MdlRegAll::WinePrefix(), QDir::homePath() + "/.wine");
    if (!saved.isNull())
        qputenv("WINEPREFIX", saved);
}

// ---- Steam -------------------------------------------------------------

class Steam : public ::testing::Test {
protected:
    QString home() const { return tmp.path() + "/home"; }
    // A library with Half-Life installed under the given folder name.
    QString installIn(const QString& library, const QString& installDir = "Half-Life")
    {
        mkdirs(library + "/steamapps/common/" + installDir + "/valve");
        fwtest::writeAll(library + "/steamapps/appmanifest_70.acf",
                         "\"AppState\"\n{\n\t\"appid\"\t\t\"70\"\n\t\"name\"\t\t\"Half-Life\"\n"
                         "\t\"installdir\"\t\t\"" + installDir.toUtf8() + "\"\n}\n");
        return library + "/steamapps/common/" + installDir;
    }
    void touchBmp(const QString& path, int secondsAgo)
    {
        fwtest::writeAll(path, "BM");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                                  QFileDevice::FileModificationTime));
    }
    fwtest::TempDir tmp;
};

TEST_F(Steam, StandardRootWithTheGameInItsOwnLibrary)
{
    const QString install = installIn(home() + "/.local/share/Steam");
    EXPECT_EQ(SteamLibrary::FindHalfLifeScreenshots(home()), install + "/valve");
}

TEST_F(Steam, RootsAreFoundOnceWhateverLinksLeadThere)
{
    const QString root = home() + "/.local/share/Steam";
    mkdirs(root);
    mkdirs(home() + "/.steam");
    ASSERT_TRUE(QFile::link(root, home() + "/.steam/steam"));
    ASSERT_TRUE(QFile::link(root, home() + "/.steam/root"));
    EXPECT_EQ(SteamLibrary::SteamRoots(home()).size(), 1);
}

TEST_F(Steam, FlatpakAndSnapRootsAreSearched)
{
    const QString flatpak = installIn(home() + "/.var/app/com.valvesoftware.Steam/.local/share/Steam");
    EXPECT_EQ(SteamLibrary::FindHalfLifeScreenshots(home()), flatpak + "/valve");

    fwtest::TempDir other;
    const QString snapHome = other.path();
    mkdirs(snapHome + "/snap/steam/common/.local/share/Steam");
    const QString snap = installIn(snapHome + "/snap/steam/common/.local/share/Steam");
    EXPECT_EQ(SteamLibrary::FindHalfLifeScreenshots(snapHome), snap + "/valve");
}

TEST_F(Steam, GameInASecondLibraryListedInLibraryfoldersVdf)
{
    const QString root = home() + "/.local/share/Steam";
    mkdirs(root + "/steamapps");
    const QString library = tmp.path() + "/games/SteamLibrary";
    fwtest::writeAll(root + "/steamapps/libraryfolders.vdf",
                     "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + root.toUtf8()
                         + "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"1\"\n\t\t}\n\t}\n"
                           "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library.toUtf8()
                         + "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"70\"\t\t\"1\"\n\t\t}\n\t}\n}\n");
    const QString install = installIn(library, "Half-Life");
    EXPECT_EQ(SteamLibrary::LibraryFolders(root), QStringList({root, library}));
    EXPECT_EQ(SteamLibrary::FindHalfLifeScreenshots(home()), install + "/valve");
}

TEST_F(Steam, OldLibraryfoldersLayoutIsUnderstoodToo)
{
    const QString root = home() + "/.steam/steam";
    mkdirs(root + "/SteamApps");
    fwtest::writeAll(root + "/SteamApps/libraryfolders.vdf",
                     "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1600000000\"\n"
                     "\t\"ContentStatsID\"\t\t\"-123\"\n\t\"1\"\t\t\"/mnt/games\"\n}\n");
    EXPECT_EQ(SteamLibrary::LibraryFolders(root), QStringList({root, "/mnt/games"}));
}

TEST_F(Steam, TheModFolderWithTheNewestBitmapIsTheAnswer)
{
    const QString install = installIn(home() + "/.local/share/Steam");
    mkdirs(install + "/cstrike");
    mkdirs(install + "/gearbox");
    touchBmp(install + "/valve/c1a00000.bmp", 3600);
    touchBmp(install + "/cstrike/de_dust0000.BMP", 60); // the newest, in capitals
    touchBmp(install + "/gearbox/of1a10000.bmp", 600);
    fwtest::writeAll(install + "/gearbox/newer.txt", "not a bitmap");
    EXPECT_EQ(SteamLibrary::ScreenshotFolder(install), install + "/cstrike");
}

TEST_F(Steam, ManifestNamesTheInstallFolder)
{
    const QString install = installIn(home() + "/.local/share/Steam", "Half-Life GOTY");
    EXPECT_EQ(SteamLibrary::HalfLifeInstall(home() + "/.local/share/Steam"), install);
}

TEST_F(Steam, NoSteamOrNoGameGivesTheEmptyString)
{
    EXPECT_EQ(SteamLibrary::FindHalfLifeScreenshots(home()), "");
    mkdirs(home() + "/.local/share/Steam/steamapps/common/Portal");
    EXPECT_EQ(SteamLibrary::FindHalfLifeScreenshots(home()), "");
}

TEST(KeyValues, CommentsEscapesAndNesting)
{
    const auto pairs = SteamLibrary::KeyValuePairs(
        "// comment \"not\" \"a pair\"\n\"a\" { \"path\" \"C:\\\\Games\\\\\" \"b\" { \"c\" \"d\" } }");
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs[0].first, "path");
    EXPECT_EQ(pairs[0].second, "C:\\Games\\");
    EXPECT_EQ(pairs[1].first, "c");
}

} // namespace
