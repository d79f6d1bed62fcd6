// The search for the game on Windows reads the real registry: the game's two
// entries in HKEY_LOCAL_MACHINE, then Steam's install from the user's hive.
#include "TempDir.h"
#include "detection/GameDirectory.h"
#include "detection/SteamLibrary.h"

#include <QDir>
#include <gtest/gtest.h>
#include <windows.h>

using namespace fwtest;

namespace {

const wchar_t* const kSierra = L"Software\\Sierra OnLine\\Setup\\HLIFEFE";
const wchar_t* const kAppPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hl.Exe";
const wchar_t* const kSteam = L"Software\\Valve\\Steam";

// The value as written, separators included (Steam writes its own path with
// forward slashes), in the 64-bit view unless told.
void setValue(HKEY root, const wchar_t* key, const wchar_t* name, const QString& value, DWORD type = REG_SZ,
              REGSAM view = KEY_WOW64_64KEY)
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    const std::wstring text = value.toStdWString();
    RegSetValueExW(opened, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
}

void removeKeys()
{
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kSierra, view, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kAppPaths, view, 0);
        RegDeleteKeyExW(HKEY_CURRENT_USER, kSteam, view, 0);
    }
}

} // namespace

TEST(DetectionWindows, RegistryEntriesThenSteamThenTheFixedDefaults)
{
    const TempDir tmp;
    const QString sierra = tmp.path() + "/Sierra/Half-Life", valve = tmp.path() + "/Valve/HL";
    const QString steam = tmp.path() + "/Steam", install = steam + "/steamapps/common/Half-Life";
    for (const QString& dir : {sierra, valve, install + "/valve", install + "/cstrike"})
        ASSERT_TRUE(QDir().mkpath(dir));
    writeAll(install + "/cstrike/de_dust0000.bmp", "the newest screenshot");
    writeAll(steam + "/steamapps/appmanifest_70.acf", "\"AppState\"\n{\n\t\"appid\"\t\t\"70\"\n}\n");

    struct Row {
        const char* what;
        QString sierra, appPaths, steam;
        QString expected; // empty: the fixed default
    };
    const Row rows[] = {
        {"Sierra's entry first", sierra, valve, steam, sierra},
        {"App Paths when Sierra's folder is gone", tmp.path() + "/gone", valve, steam, valve},
        {"Steam's library when neither entry names a folder", {}, tmp.path() + "/gone", steam, install + "/cstrike"},
        {"the fixed default when nothing is found", {}, {}, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        removeKeys();
        if (!row.sierra.isEmpty())
            setValue(HKEY_LOCAL_MACHINE, kSierra, L"Directory", QDir::toNativeSeparators(row.sierra));
        if (!row.appPaths.isEmpty())
            setValue(HKEY_LOCAL_MACHINE, kAppPaths, L"Path", QDir::toNativeSeparators(row.appPaths));
        if (!row.steam.isEmpty())
            setValue(HKEY_CURRENT_USER, kSteam, L"SteamPath", row.steam);

        const GameDirectory::Found found = GameDirectory::search(GameDirectory::currentEnvironment());
        if (row.expected.isEmpty()) {
            EXPECT_EQ(found.inputPath, "C:\\Sierra\\Half-Life\\");
            EXPECT_TRUE(found.proposedDefault);
        } else {
            // Shown and stored with backslashes only, Steam's own path too.
            EXPECT_EQ(found.inputPath, QDir::toNativeSeparators(row.expected));
            EXPECT_FALSE(found.proposedDefault);
        }
        EXPECT_EQ(found.outputPath, "C:\\CS_JPEG\\");
    }
    removeKeys();
}

// A value to be expanded is expanded, and the 32-bit view (where 32-bit
// installers write) stands in when the 64-bit one names a folder that is
// gone, not only when it is empty.
TEST(DetectionWindows, ExpandedValuesAndThe32BitViewForAMissingFolder)
{
    const TempDir tmp;
    const QString sierra = QDir::toNativeSeparators(tmp.path() + "/Sierra/Half-Life");
    const QString valve = QDir::toNativeSeparators(tmp.path() + "/Valve/HL");
    ASSERT_TRUE(QDir().mkpath(sierra) && QDir().mkpath(valve));
    ASSERT_TRUE(SetEnvironmentVariableW(L"FW_TEST_GAMES", QDir::toNativeSeparators(tmp.path()).toStdWString().c_str()));
    const GameDirectory::Environment env = GameDirectory::currentEnvironment();

    removeKeys();
    setValue(HKEY_LOCAL_MACHINE, kSierra, L"Directory", "%FW_TEST_GAMES%\\Sierra\\Half-Life", REG_EXPAND_SZ);
    EXPECT_EQ(GameDirectory::search(env).inputPath, sierra);

    removeKeys();
    setValue(HKEY_LOCAL_MACHINE, kAppPaths, L"Path", QDir::toNativeSeparators(tmp.path() + "/gone"));
    setValue(HKEY_LOCAL_MACHINE, kAppPaths, L"Path", valve, REG_SZ, KEY_WOW64_32KEY);
    EXPECT_EQ(GameDirectory::search(env).inputPath, valve);
    removeKeys();
}

// An old-layout libraryfolders.vdf names its libraries by Windows paths.
TEST(DetectionWindows, OldLayoutLibrariesWithWindowsPaths)
{
    const TempDir tmp;
    const QString steam = tmp.path() + "/Steam", library = tmp.path() + "/SteamLibrary";
    const QString install = library + "/steamapps/common/Half-Life";
    ASSERT_TRUE(QDir().mkpath(steam + "/steamapps") && QDir().mkpath(install + "/valve"));
    writeAll(library + "/steamapps/appmanifest_70.acf", "\"AppState\"\n{\n\t\"appid\"\t\t\"70\"\n}\n");
    const QString escaped = QDir::toNativeSeparators(library).replace("\\", "\\\\");
    writeAll(steam + "/steamapps/libraryfolders.vdf",
             "\"LibraryFolders\"\n{\n\t\"1\"\t\t\"" + escaped.toUtf8() + "\"\n}\n");
    EXPECT_EQ(QDir::fromNativeSeparators(SteamLibrary::FindHalfLifeScreenshots({steam})), install + "/valve");
}
