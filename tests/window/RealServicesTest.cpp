// The real services behind FrmMain, where they can run without a person.
#include "platform/DesktopOpen.h"
#include "window/FrmMainServices.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TEST(RealServices, SettingsInTheUsersConfigDirectoryAndAProgramThatCannotStartSaysSo)
{
    const FrmMainServices s = realServices();
    // The test's main() points XDG_CONFIG_HOME at a private directory.
    EXPECT_EQ(s.settingsFile, qEnvironmentVariable("XDG_CONFIG_HOME") + "/Framewright/Framewright.ini");
    EXPECT_TRUE(QFileInfo(s.environment.picturesDir).isDir());

    // A program that cannot start says so; the viewer's start is Qt's
    // startDetached, which does not wait for the program.
    EXPECT_TRUE(s.startDetached("/bin/true"));
    EXPECT_FALSE(s.startDetached(qEnvironmentVariable("XDG_CONFIG_HOME") + "/no-such-viewer"));
}

// Explorer splits an unquoted folder at its commas: it gets it quoted, with
// no backslash before the closing quote but a drive's root.
TEST(RealServices, ExplorerGetsTheFolderWholeInQuotes)
{
    const QString rows[][2] = {
        {"C:\\Games\\Half-Life, GOTY\\valve\\", "\"C:\\Games\\Half-Life, GOTY\\valve\""},
        {"D:\\Shots", "\"D:\\Shots\""},
        {"C:\\", "\"C:\\\""},
    };
    for (const auto& [folder, arguments] : rows)
        EXPECT_EQ(ExplorerArguments(folder), arguments) << folder.toStdString();
}

} // namespace
