// Shared main() for the widget and engine tests: an offscreen QApplication
// (no display in CI) and private runtime/config directories so that no test
// reads or writes a real user's settings.
#include "TempDir.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir home;
    fwtest::usePrivateUserDirs(home.path());

    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
