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
    int inside = 0, wrong = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const double d = model.insideDistance(QPointF(x, y));
            const int sum = channelSum(frame.pixel(x, y));
            if (d > 1.0) {
                ++inside;
                wrong += sum < 25;
            } else if (d < -1.0) {
                wrong += sum > 10;
            }
        }
    EXPECT_GT(inside, 2000);
    EXPECT_EQ(wrong, 0);
}
