// The parts of the viewer that need no OpenGL: the quit button, the real
// clock and stop message, and the keyboard.
#include "FakeHost.h"
#include "PictureButton.h"
#include "frmMain.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

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
