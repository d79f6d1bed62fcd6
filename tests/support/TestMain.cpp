// Shared main() for the widget and engine tests: an offscreen QApplication
// (no display in CI) and private runtime/config directories so that no test
// reads or writes a real user's settings.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QTemporaryDir home;
    const QByteArray runtimeDir = (home.path() + "/runtime").toLocal8Bit();
    const QByteArray configDir = (home.path() + "/config").toLocal8Bit();
    mkdir(runtimeDir.constData(), 0700);
    setenv("XDG_RUNTIME_DIR", runtimeDir.constData(), 1);
    setenv("XDG_CONFIG_HOME", configDir.constData(), 1);

    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
