// The viewer closed with the keyboard, and what assistive tools are told.
#include "FakeHost.h"
#include "PictureButton.h"
#include "frmMain.h"

#include <QAccessible>
#include <QTest>
#include <gtest/gtest.h>

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
