// The parts of the viewer that need no OpenGL: the real clock and stop
// message, and the keyboard.
#include "FakeHost.h"
#include "PictureButton.h"
#include "frmMain.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

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

// The viewer closed with the keyboard.
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
