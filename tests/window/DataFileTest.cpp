// Where an installed program finds its skin: beside itself first, else in
// the install's share/framewright, else it names the place beside itself.
#include "window/DataFile.h"
#include "TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(DataFile, BesideTheProgramFirstThenInTheInstallsShare)
{
    fwtest::TempDir root;
    ASSERT_TRUE(QDir().mkpath(root.file("bin")) && QDir().mkpath(root.file("share/framewright")));
    const auto skin = [&] { return DataFile(root.file("bin"), "skin.bmp"); };

    EXPECT_EQ(skin(), root.file("bin/skin.bmp")) << "nowhere: the place beside the program";
    fwtest::writeAll(root.file("share/framewright/skin.bmp"), "BM");
    EXPECT_EQ(skin(), root.file("share/framewright/skin.bmp")) << "a system install";
    fwtest::writeAll(root.file("bin/skin.bmp"), "BM");
    EXPECT_EQ(skin(), root.file("bin/skin.bmp")) << "beside wins over share";
}
