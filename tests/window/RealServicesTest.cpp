// The real services behind FrmMain, where they can run without a person.
#include "TempDir.h"
#include "window/FrmMainServices.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

namespace {

TEST(RealServices, SettingsInTheUsersConfigDirectoryAndProgramsStartedWithoutWaiting)
{
    const FrmMainServices s = realServices();
    // The test's main() points XDG_CONFIG_HOME at a private directory.
    EXPECT_EQ(s.settingsFile, qEnvironmentVariable("XDG_CONFIG_HOME") + "/Framewright/Framewright.ini");
    EXPECT_TRUE(QFileInfo(s.environment.picturesDir).isDir());

    fwtest::TempDir tmp;
    const QString program = tmp.file("viewer");
    const QString marker = tmp.file("started");
    fwtest::writeAll(program, "#!/bin/sh\nsleep 1\ntouch \"" + marker.toUtf8() + "\"\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(s.startDetached(program));
    EXPECT_FALSE(QFileInfo::exists(marker)) << "the caller does not wait";
    while (!QFileInfo::exists(marker) && clock.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_TRUE(QFileInfo::exists(marker));
    EXPECT_FALSE(s.startDetached(tmp.file("no-such-viewer")));
}

} // namespace
