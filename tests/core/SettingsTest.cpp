// The stored settings: what is written, what comes back, and a store that
// cannot be written.
#include "core/Settings.h"
#include "TempDir.h"
#include "TestUtil.h"

#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

// A path with the characters INI files treat specially. (The numbers' round
// trip is FrmMain's closing test.)
TEST(Settings, SavedValuesComeBackAndNothingIsLoadedWithoutAnInputDirectory)
{
    fwtest::TempDir tmp;
    const QString file = tmp.file("config/Framewright/Framewright.ini");
    EXPECT_FALSE(Settings::load(file)) << "no file";
    const Settings s{tmp.path() + "/with, comma and = sign/", tmp.dir(), 7, true};
    ASSERT_TRUE(s.save(file));
    const std::optional<Settings> back = Settings::load(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->inputPath, s.inputPath);
    EXPECT_EQ(back->outputPath, s.outputPath);
    QSettings(file, QSettings::IniFormat).remove("CONFIG/InputPath");
    EXPECT_FALSE(Settings::load(file)) << "the other keys alone";
}

TEST(Settings, StoredTextsAreReadAsNumbersInRange)
{
    const struct {
        const char* name;
        QByteArray values; // below InputPath in CONFIG
        int expectedQuality;
        bool expectedDelete;
    } rows[] = {
        {"absent keys read as 0", "", 0, false},
        {"above the range", "Quality=250\nDel=2\n", 100, false},
        {"below the range, no number", "Quality=-4\nDel=x\n", 0, false},
        {"text after the number, halves to even", "Quality=64.5 percent\nDel=1\n", 64, true},
    };
    fwtest::TempDir tmp;
    const QString file = tmp.file("Framewright.ini");
    for (const auto& row : rows) {
        fwtest::writeAll(file, "[CONFIG]\nInputPath=/in/\n" + row.values);
        const std::optional<Settings> s = Settings::load(file);
        ASSERT_TRUE(s) << row.name;
        EXPECT_EQ(s->quality, row.expectedQuality) << row.name;
        EXPECT_EQ(s->deleteAfterConversion, row.expectedDelete) << row.name;
    }
}

} // namespace
