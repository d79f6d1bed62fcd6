// Real frames from the viewer on a real OpenGL driver (Mesa under Xvfb):
// the square where Direct3D's projection puts it, its texture, its tints,
// both faces, a lost device and the way out.
#include "FakeHost.h"
#include "PictureButton.h"
#include "SceneModel.h"
#include "frmMain.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace d3d;

namespace {

constexpr double kPi = 3.14159265358979323846;
const QSize kClient(495, 451);

class ViewerRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        log = std::make_shared<HostLog>();
        window = std::make_unique<frmMain>(fakeHost(log));
        window->timer().stop(); // frames are drawn by the test, at chosen angles
        window->Form_Load();
        ASSERT_NE(window->device(), nullptr) << "no OpenGL device: " << log->messages.join(';').toStdString();
        ASSERT_TRUE(log->messages.isEmpty());
    }

    void TearDown() override { setReleaseObserver(nullptr); }

    QImage renderAt(double theta)
    {
        log->seconds = theta * 3.145;
        const int before = window->device()->presentCount();
        window->Timer1_Timer();
        EXPECT_EQ(window->device()->presentCount(), before + 1);
        return window->device()->frontBuffer().convertToFormat(QImage::Format_RGB32);
    }

    // Dark text pixels (far darker than the tinted grey ground) in a region.
    static int textPixels(const QImage& frame, const SceneModel& model, QRect region)
    {
        int count = 0;
        for (int y = region.top(); y <= region.bottom(); ++y)
            for (int x = region.left(); x <= region.right(); ++x)
                if (model.insideDistance(QPointF(x, y)) > 1.0 && channelSum(frame.pixel(x, y)) < 200
                    && qBlue(frame.pixel(x, y)) >= qRed(frame.pixel(x, y)))
                    ++count;
        return count;
    }

    std::shared_ptr<HostLog> log;
    std::unique_ptr<frmMain> window;
};

} // namespace

TEST_F(ViewerRender, BothFacesWhereTheProjectionPutsThemTintedAndReadable)
{
    for (const double theta : {3 * kPi / 2, kPi / 2}) { // eye (0, 1, -1), then (0, 1, 1)
        const bool front = theta > kPi;
        SCOPED_TRACE(front ? "front" : "back");
        const QImage frame = renderAt(theta);
        ASSERT_EQ(frame.size(), kClient);
        const SceneModel model(theta, kClient);
        EXPECT_GT(expectMatchesModel(frame, model), 5000);

        // Just inside each corner, clear of the text: the 0xC0 grey ground
        // times its vertex colour (white, red, blue, green), a little tinted
        // by its neighbours.
        const struct {
            double u, v;
            int strong[3]; // red, green, blue: 1 where the tint keeps the channel
        } corners[] = {
            {0.04, 0.03, {1, 1, 1}}, {0.96, 0.03, {1, 0, 0}}, {0.04, 0.97, {0, 0, 1}}, {0.96, 0.97, {0, 1, 0}}};
        for (const auto& corner : corners) {
            const QRgb colour = frame.pixel(model.pixelOf(corner.u, corner.v));
            const int channel[3] = {qRed(colour), qGreen(colour), qBlue(colour)};
            for (int i = 0; i < 3; ++i)
                if (corner.strong[i])
                    EXPECT_NEAR(channel[i], 0xC0, 24) << std::hex << colour;
                else
                    EXPECT_LT(channel[i] + 80, 0xC0) << std::hex << colour;
        }

        // The text starts at the texture's left edge and its lines end at
        // different places, so the texture's left half holds more ink: it
        // reads from the front and mirrored from the back.
        const QPoint whiteCorner = model.pixelOf(0, 0);
        const QPoint redCorner = model.pixelOf(1, 0);
        EXPECT_EQ(whiteCorner.x() < redCorner.x(), front);
        const int middle = (whiteCorner.x() + redCorner.x()) / 2;
        const int leftInk = textPixels(frame, model, QRect(0, 0, middle, kClient.height()));
        const int rightInk = textPixels(frame, model, QRect(middle, 0, kClient.width() - middle, kClient.height()));
        EXPECT_GT(leftInk + rightInk, 300);
        EXPECT_GT(front ? leftInk : rightInk, (front ? rightInk : leftInk) * 3 / 2);
    }
}

TEST_F(ViewerRender, LostDeviceDrawsNothingAndIsResetOnlyWhenItCanBe)
{
    Direct3DDevice8& device = *window->device();
    device.simulateLoss(D3DERR_DEVICELOST);
    for (int i = 0; i < 3; ++i)
        window->Timer1_Timer();
    EXPECT_EQ(device.presentCount(), 0);
    EXPECT_EQ(device.resetCount(), 0);

    // Resettable: one frame skipped, one reset.
    device.simulateLoss(D3DERR_DEVICENOTRESET);
    window->Timer1_Timer();
    EXPECT_EQ(device.presentCount(), 0);
    EXPECT_EQ(device.resetCount(), 1);
    EXPECT_EQ(device.TestCooperativeLevel(), D3D_OK);

    // The managed texture and the states survive: the next frame is whole.
    const QImage frame = renderAt(3 * kPi / 2);
    expectMatchesModel(frame, SceneModel(3 * kPi / 2, kClient));
    EXPECT_EQ(device.resetCount(), 1);
}

TEST_F(ViewerRender, KeepsOnlyTheTextureAndReleasesAllInOrderOnQuitOrClose)
{
    const std::vector<std::string> order = {"Direct3DTexture8", "D3DX8", "Direct3DDevice8", "Direct3D8", "DirectX8"};
    for (const bool byButton : {true, false}) {
        SCOPED_TRACE(byButton ? "quit button" : "close");
        window.reset();
        std::vector<std::string> released;
        setReleaseObserver([&](const char* name) { released.emplace_back(name); });
        SetUp();
        EXPECT_EQ(released, (std::vector<std::string>{"D3DXFont", "Direct3DSurface8", "D3DXRenderToSurface"}));
        released.clear();
        renderAt(1.0);
        if (byButton) {
            QTest::mouseClick(window->quitButton(), Qt::LeftButton);
            EXPECT_EQ(released, order);
        }
        const bool closed = window->close(); // after the button: releases nothing twice
        EXPECT_TRUE(closed || byButton);
        EXPECT_EQ(released, order);
        EXPECT_EQ(log->endCodes, QList<int>{0});
        window->Timer1_Timer(); // a late tick finds nothing to do
        setReleaseObserver(nullptr);
    }
}
