// Qt's offscreen platform next to an X server can still make OpenGL
// contexts: there the viewer renders as it does on screen.
#include "FakeHost.h"
#include "SceneModel.h"
#include "frmMain.h"

#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

TEST(ViewerOffscreen, TimerDrawsFramesWhereTheOffscreenPlatformGivesADevice)
{
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    auto log = std::make_shared<HostLog>();
    const double theta = 4.0;
    log->seconds = theta * 3.145;
    frmMain window(fakeHost(log));
    window.Form_Load();
    ASSERT_NE(window.device(), nullptr) << log->messages.join(';').toStdString();
    // The timer runs from the window's creation on: its ticks draw the frames.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.device()->presentCount() > 0; }));
    const QImage frame = window.device()->frontBuffer().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(expectMatchesModel(frame, SceneModel(theta, frame.size())), 2000);
}
