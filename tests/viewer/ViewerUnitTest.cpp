// The parts of the viewer that need no OpenGL: the matrix helpers (worked by
// hand, since the render tests' model uses them too), the quit button, the
// real clock and stop message, and the keyboard.
#include "FakeHost.h"
#include "PictureButton.h"
#include "d3d/D3DXMath.h"
#include "frmMain.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace d3d;

namespace {

void expectMatrix(const D3DMATRIX& actual, const float (&expected)[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected[r][c], 1e-6f) << "row " << r << " column " << c;
}

} // namespace

TEST(MatrixHelpers, LeftHandedFormulasWorkedByHand)
{
    // fov = pi/2 gives h = cot(pi/4) = 1; aspect 2 gives w = 0.5; near 1,
    // far 3: q = 3/2, -n*q = -1.5.
    D3DMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, 1.5707964f, 2.0f, 1.0f, 3.0f);
    expectMatrix(m, {{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1.5f, 1}, {0, 0, -1.5f, 0}});

    // Eye (1, 1, 0) looking at the origin with +y up: zaxis = -(1,1,0)/sqrt2,
    // xaxis = up x zaxis = (0,0,1), yaxis = zaxis x xaxis = (-1,1,0)/sqrt2.
    const D3DVECTOR eye{1, 1, 0}, at{0, 0, 0}, up{0, 1, 0};
    D3DXMatrixLookAtLH(&m, &eye, &at, &up);
    const float s = 0.70710678f;
    expectMatrix(m, {{0, -s, -s, 0}, {0, s, -s, 0}, {1, 0, 0, 0}, {0, 0, 2 * s, 1}});

    // Row vectors: p x (T x S) translates first, then scales.
    D3DMATRIX translate, scale;
    D3DXMatrixIdentity(&translate);
    D3DXMatrixIdentity(&scale);
    translate.m[3][0] = 1.0f;
    scale.m[0][0] = 3.0f;
    EXPECT_FLOAT_EQ((translate * scale).m[3][0], 3.0f);
    EXPECT_FLOAT_EQ((scale * translate).m[3][0], 1.0f);
}

TEST(ViewerWindow, QuitFacesAreTheConverterExitFacesExchanged)
{
    frmMain w(fakeHost(std::make_shared<HostLog>()));
    const QImage exitNormal(QString(FW_ART_DIR) + "/exit_normal.bmp");
    const QImage exitPressed(QString(FW_ART_DIR) + "/exit_pressed.bmp");
    ASSERT_EQ(exitNormal.size(), QSize(35, 24));
    ASSERT_NE(exitNormal, exitPressed);
    EXPECT_EQ(w.quitButton()->normalPicture().toImage().convertToFormat(exitPressed.format()), exitPressed);
    EXPECT_EQ(w.quitButton()->pressedPicture().toImage().convertToFormat(exitNormal.format()), exitNormal);
}

TEST(ViewerHostSystem, ClockCountsFromMidnightAndTheStopMessageIsACriticalBox)
{
    const ViewerHost host = ViewerHost::system();
    const double t = host.timeOfDay();
    EXPECT_TRUE(t >= 0.0 && t < 86400.0) << t;

    QString seen;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // The box is modal: look at it from inside its own event loop, then close it.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->windowTitle() + "|" + box->text();
        icon = box->icon();
        EXPECT_EQ(box->buttons(), QList<QAbstractButton*>{box->button(QMessageBox::Ok)});
        box->button(QMessageBox::Ok)->click();
    });
    host.showStopMessage(nullptr, "Unable to create Direct3D device.", "Kudoscope");
    EXPECT_EQ(seen, "Kudoscope|Unable to create Direct3D device.");
    EXPECT_EQ(icon, QMessageBox::Critical);
}

// The viewer closed with the keyboard, and what assistive tools are told.
TEST(ViewerKeyboard, EscapeOrEnterOnQuitEndsTheProgram)
{
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        auto log = std::make_shared<HostLog>();
        frmMain window(fakeHost(log));
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(key == Qt::Key_Escape ? static_cast<QWidget*>(&window) : window.quitButton(), key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !log->endCodes.isEmpty(); })) << key;
        EXPECT_EQ(log->endCodes, QList<int>{0});
    }
}

TEST(ViewerKeyboard, TheQuitButtonIsNamedAndHasATooltip)
{
    frmMain window(fakeHost(std::make_shared<HostLog>()));
    const QAccessibleInterface* quit = QAccessible::queryAccessibleInterface(window.quitButton());
    EXPECT_EQ(quit->role(), QAccessible::Button);
    EXPECT_FALSE(quit->text(QAccessible::Name).isEmpty() || quit->text(QAccessible::Description).isEmpty());
    EXPECT_FALSE(window.quitButton()->toolTip().isEmpty());
}
