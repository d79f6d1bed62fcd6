// The search for the game on Windows reads the real registry: the game's two
// entries in HKEY_LOCAL_MACHINE, then Steam's install from the user's hive.
#include "TempDir.h"
#include "detection/GameDirectory.h"

#include <QDir>
#include <gtest/gtest.h>
#include <windows.h>

using namespace fwtest;

namespace {

const wchar_t* const kSierra = L"Software\\Sierra OnLine\\Setup\\HLIFEFE";
const wchar_t* const kAppPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hl.Exe";
const wchar_t* const kSteam = L"Software\\Valve\\Steam";

void setValue(HKEY root, const wchar_t* key, const wchar_t* name, const QString& value)
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    const std::wstring text = QDir::toNativeSeparators(value).toStdWString();
    RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
}

void removeKeys()
{
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kSierra, KEY_WOW64_64KEY, 0);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kAppPaths, KEY_WOW64_64KEY, 0);
    RegDeleteKeyExW(HKEY_CURRENT_USER, kSteam, KEY_WOW64_64KEY, 0);
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
            setValue(HKEY_LOCAL_MACHINE, kSierra, L"Directory", row.sierra);
        if (!row.appPaths.isEmpty())
            setValue(HKEY_LOCAL_MACHINE, kAppPaths, L"Path", row.appPaths);
        if (!row.steam.isEmpty())
            setValue(HKEY_CURRENT_USER, kSteam, L"SteamPath", row.steam);

        const GameDirectory::Found found = GameDirectory::search(GameDirectory::currentEnvironment());
        if (row.expected.isEmpty()) {
            EXPECT_EQ(found.inputPath, "C:\\Sierra\\Half-Life\\");
            EXPECT_TRUE(found.proposedDefault);
        } else {
            EXPECT_EQ(QDir::cleanPath(QDir::fromNativeSeparators(found.inputPath)), row.expected);
            EXPECT_FALSE(found.proposedDefault);
        }
        EXPECT_EQ(found.outputPath, "C:\\CS_JPEG\\");
    }
    removeKeys();
}
