// Where an installed program finds its skin: beside itself first, else in
// the install's share/framewright, else it names the place beside itself.
#include "TempDir.h"
#include "window/DataFile.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct Layout {
    const char* name;
    bool beside, shared;
    const char* expected;  // relative to the install's root
};

const Layout kLayouts[] = {
    {"BuildTreeBesideTheProgram", true, false, "bin/skin.bmp"},
    {"SystemInstallInShare", false, true, "share/framewright/skin.bmp"},
    {"BesideWinsOverShare", true, true, "bin/skin.bmp"},
    {"NowhereNamesThePlaceBeside", false, false, "bin/skin.bmp"},
};

class DataFileLayout : public ::testing::TestWithParam<Layout> {};

TEST_P(DataFileLayout, FindsTheSkin)
{
    const Layout& l = GetParam();
    fwtest::TempDir root;
    ASSERT_TRUE(QDir().mkpath(root.file("bin")) && QDir().mkpath(root.file("share/framewright")));
    if (l.beside)
        fwtest::writeAll(root.file("bin/skin.bmp"), "BM");
    if (l.shared)
        fwtest::writeAll(root.file("share/framewright/skin.bmp"), "BM");
    EXPECT_EQ(DataFile(root.file("bin"), "skin.bmp"), root.file(l.expected));
}

INSTANTIATE_TEST_SUITE_P(Installs, DataFileLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
