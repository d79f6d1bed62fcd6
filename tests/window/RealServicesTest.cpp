// The real services behind FrmMain, where they can run without a person.
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

} // namespace
