// The stored settings: what is written, what comes back, and a store that
// cannot be written.
#include "TempDir.h"
#include "engine/Settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A path with the characters INI files treat specially. (How the numbers are
// stored is checked by FrmMain's closing test.)
TEST(Settings, SavedValuesComeBack)
{
    fwtest::TempDir tmp;
    const QString file = tmp.file("config/Framewright/Framewright.ini");
    const Settings s{tmp.path() + "/with, comma and = sign/", tmp.dir(), 7, true};
    ASSERT_TRUE(s.save(file));
    const std::optional<Settings> back = Settings::load(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->inputPath, s.inputPath);
    EXPECT_EQ(back->outputPath, s.outputPath);
    EXPECT_EQ(back->quality, 7);
    EXPECT_TRUE(back->deleteAfterConversion);
}

TEST(Settings, StoredTextsAreReadAsNumbersInRange)
{
    struct Row {
        const char* name;
        const char* quality; // nullptr: the key is absent
        const char* del;
        int expectedQuality;
        bool expectedDelete;
    };
    const Row rows[] = {
        {"absent keys read as 0", nullptr, nullptr, 0, false},
        {"above the range", "250", "2", 100, false},
        {"below the range, no number", "-4", "x", 0, false},
        {"text after the number, halves to even", "64.5 percent", "1", 64, true},
    };
    fwtest::TempDir tmp;
    const QString file = tmp.file("Framewright.ini");
    for (const Row& row : rows) {
        QFile::remove(file);
        {
            QSettings store(file, QSettings::IniFormat);
            store.setValue("CONFIG/InputPath", "/in/");
            if (row.quality)
                store.setValue("CONFIG/Quality", row.quality);
            if (row.del)
                store.setValue("CONFIG/Del", row.del);
        }
        const std::optional<Settings> s = Settings::load(file);
        ASSERT_TRUE(s) << row.name;
        EXPECT_EQ(s->quality, row.expectedQuality) << row.name;
        EXPECT_EQ(s->deleteAfterConversion, row.expectedDelete) << row.name;
    }
}

TEST(Settings, NothingIsLoadedWithoutAnInputDirectory)
{
    fwtest::TempDir tmp;
    const QString file = tmp.file("Framewright.ini");
    EXPECT_FALSE(Settings::load(file)) << "no file";
    QSettings(file, QSettings::IniFormat).setValue("CONFIG/OutputPath", "/out/");
    EXPECT_FALSE(Settings::load(file)) << "the other keys alone";
}

// Runs save() in a child process that first applies the given restriction.
// The child's exit code: 0 saved, 1 reported as not saved, 2 restriction failed.
int saveInChild(const Settings& s, const QString& file, void (*restrict)())
{
    const pid_t pid = fork();
    if (pid == 0) {
        restrict();
        _exit(s.save(file) ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Settings, AStoreThatCannotBeWrittenIsReported)
{
    fwtest::TempDir tmp;
    const Settings s{"/in/", "/out/", 90, false};

    // (A file where the settings' directory should be: FrmMain's own test.)
    // A directory its user cannot write, by a user who is not root.
    const QString readOnly = tmp.file("readonly");
    ASSERT_TRUE(QDir().mkpath(readOnly));
    ASSERT_EQ(chmod(qPrintable(tmp.path()), 0755), 0);
    EXPECT_EQ(saveInChild(s, readOnly + "/Framewright.ini", [] {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
    }), 1);

    // A full disk: no byte may be written.
    EXPECT_EQ(saveInChild(s, tmp.file("full/Framewright.ini"), [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, 0};
        if (setrlimit(RLIMIT_FSIZE, &none) != 0)
            _exit(2);
    }), 1);
    // The same save succeeds without the restriction.
    EXPECT_EQ(saveInChild(s, tmp.file("full/Framewright.ini"), [] {}), 0);
}

} // namespace
