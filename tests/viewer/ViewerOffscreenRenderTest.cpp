// Qt's offscreen platform next to an X server can still make OpenGL
// contexts: there the viewer renders as it does on screen.
#include "FakeHost.h"
#include "SceneModel.h"
#include "frmMain.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

TEST(ViewerOffscreen, RendersWhereTheOffscreenPlatformGivesADevice)
{
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    auto log = std::make_shared<HostLog>();
    frmMain window(fakeHost(log));
    window.timer().stop();
    window.Form_Load();
    ASSERT_NE(window.device(), nullptr) << log->messages.join(';').toStdString();
    EXPECT_TRUE(log->endCodes.isEmpty());

    const double theta = 4.0;
    log->seconds = theta * 3.145;
    window.Timer1_Timer();
    const QImage frame = window.device()->frontBuffer().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(frame.size(), QSize(495, 451));
    const SceneModel model(theta, frame.size());
    EXPECT_GT(expectMatchesModel(frame, model), 2000);
}
