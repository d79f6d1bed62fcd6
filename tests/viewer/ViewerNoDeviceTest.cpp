// The viewer where no OpenGL device can be made: the stop message, the end
// of the program, and harmless ticks.
#include "FakeHost.h"
#include "frmMain.h"

#include <QApplication>
#include <QProcess>
#include <gtest/gtest.h>

TEST(ViewerWithoutDevice, TellsTheUserOnceAndEnds)
{
    auto log = std::make_shared<HostLog>();
    frmMain window(fakeHost(log));
    window.Form_Load();
    for (int i = 0; i < 3; ++i)
        window.Timer1_Timer();
    QApplication::processEvents(); // ticks that were queued while the message was up

    EXPECT_EQ(log->messages, QStringList{"Kudoscope|Unable to create Direct3D device."});
    EXPECT_EQ(log->endCodes, QList<int>{1});
    EXPECT_TRUE(window.isVisible()); // shown behind the message, nothing drawn
    EXPECT_EQ(window.device(), nullptr);
    EXPECT_EQ(window.textTexture(), nullptr);
    EXPECT_FALSE(window.timer().isActive());
}

#ifdef KUDOSCOPE_PROGRAM
// The real program where no window can be seen: a modal box would wait for
// ever, so the message goes to stderr and the program ends.
TEST(ViewerWithoutDevice, ProgramWithoutADisplayPrintsTheMessageAndExits)
{
    QProcess kudoscope;
    kudoscope.start(QStringLiteral(KUDOSCOPE_PROGRAM), {});
    ASSERT_TRUE(kudoscope.waitForFinished(30000)) << "hangs on a message box nobody can see";
    EXPECT_EQ(kudoscope.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(kudoscope.exitCode(), 1);
    EXPECT_TRUE(kudoscope.readAllStandardError().contains("Kudoscope: Unable to create Direct3D device."));
}
#endif
