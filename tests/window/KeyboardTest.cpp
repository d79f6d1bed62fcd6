// FrmMain worked with the keyboard alone and read through its accessible
// interfaces, offscreen, on real files.
#include "WindowHarness.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A key where the window system sends it: to the focused control.
void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

class Keyboard : public ::testing::Test {
protected:
    std::unique_ptr<FrmMain> start()
    {
        auto w = h.started({"half0007.bmp"});
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }
    WindowHarness h;
};

const std::pair<const char*, QAccessible::Role> kTabOrder[] = {
    {"CmdInPath", QAccessible::Button}, {"CmdOutPath", QAccessible::Button}, {"LblBack", QAccessible::Slider},
    {"chkDel", QAccessible::CheckBox},  {"FileList", QAccessible::List},     {"CmdGo", QAccessible::Button},
    {"CmdAbout", QAccessible::Button},  {"LblURLQuenk", QAccessible::Link},  {"lblURLSponso", QAccessible::Link},
    {"CmdMin", QAccessible::Button},    {"CmdExit", QAccessible::Button},
};

TEST_F(Keyboard, TabVisitsEveryControlInOrderWithTheRingAndEachIsNamed)
{
    auto w = start();
    const WindowControls c(*w);
    const QWidget* ring = w->findChild<QWidget*>("focusRing");
    ASSERT_TRUE(ring);
    EXPECT_FALSE(ring->isVisible()) << "no ring until the keyboard moves the focus";
    QStringList names;
    for (const auto& [name, role] : kTabOrder) {
        press(Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_EQ(focused->objectName(), name);
        EXPECT_TRUE(ring->isVisible() && ring->geometry().contains(focused->geometry())) << name;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(focused);
        EXPECT_EQ(a->role(), role) << name;
        EXPECT_FALSE(a->text(QAccessible::Description).isEmpty()) << name;
        names << a->text(QAccessible::Name);
    }
    EXPECT_EQ(names.removeDuplicates(), 0) << names.join(", ").toStdString();
    EXPECT_FALSE(names.contains(QString()));
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), c.CmdInPath) << "Tab goes round";
    press(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), c.CmdExit) << "and back";
}

const struct {
    Qt::Key key;
    int from, to;
} kSliderKeys[] = {
    {Qt::Key_Right, 50, 51},  {Qt::Key_Left, 50, 49}, {Qt::Key_PageUp, 50, 60},  {Qt::Key_PageDown, 50, 40},
    {Qt::Key_Home, 50, 0},    {Qt::Key_End, 50, 100}, {Qt::Key_Right, 100, 100}, {Qt::Key_PageUp, 95, 100},
    {Qt::Key_PageDown, 4, 0}, {Qt::Key_Left, 0, 0},
};

TEST_F(Keyboard, SliderKeysMoveTheBarAndItsCaptionAndAssistiveToolsSeeTheValue)
{
    auto w = start();
    const WindowControls c(*w);
    QAccessibleValueInterface* value = QAccessible::queryAccessibleInterface(c.LblBack)->valueInterface();
    ASSERT_TRUE(value);
    for (const auto& k : kSliderKeys) {
        w->slider().SetQuality(k.from);
        QTest::keyClick(c.LblBack, k.key);
        EXPECT_EQ(c.LblQuality->text(), QStringLiteral("%1 %").arg(k.to, 2, 10, QLatin1Char('0'))) << k.key;
        EXPECT_NEAR(c.LblFore->width(), c.LblBack->width() * k.to / 100.0, 0.5) << "the bar moves too";
        EXPECT_EQ(value->currentValue(), k.to);
    }
    value->setCurrentValue(33);
    EXPECT_EQ(c.LblQuality->text(), "33 %");

    w->DisableControls(); // as while a run works
    QTest::keyClick(c.LblBack, Qt::Key_End);
    value->setCurrentValue(70);
    EXPECT_EQ(c.LblQuality->text(), "33 %");
}

TEST_F(Keyboard, EnterSpaceAndShortcutsWorkTheControlsAsTheMouseDoes)
{
    auto w = start();
    const WindowControls c(*w);
    c.FileList->setCurrentRow(0);
    QTest::keyClick(c.FileList, Qt::Key_Return);
    EXPECT_EQ(h.openedFiles, QStringList{QDir::toNativeSeparators(h.input + "half0007.bmp")});
    QTest::keyClick(c.LblURLQuenk, Qt::Key_Space);
    QTest::keyClick(c.lblURLSponso, Qt::Key_Enter);
    EXPECT_EQ(h.openedAddresses, QStringList({c.LblURLQuenk->text(), c.lblURLSponso->text()}));
    QTest::keyClick(c.CmdAbout, Qt::Key_Space);
    QTest::keyClick(c.CmdAbout, Qt::Key_Return);
    EXPECT_EQ(h.messages.size(), 2u) << "the makers' line (no viewer here), once for each key";

    QTest::keyClick(w.get(), Qt::Key_I, Qt::AltModifier);
    QTest::keyClick(w.get(), Qt::Key_O, Qt::AltModifier);
    QTest::keyClick(w.get(), Qt::Key_F1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.pickerCalls.size() == 2 && h.messages.size() == 3; }));
    EXPECT_EQ(h.pickerCalls[0].first, QDir::toNativeSeparators(h.input))
        << "Alt+I opens the input's picker, Alt+O the output's";

    // A whole conversion from the keyboard, with the focus on CONVERT.
    c.CmdGo->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return WindowHarness::lines(c.Lstinfo).endsWith("Done."); }));
    EXPECT_EQ(QApplication::focusWidget(), c.CmdGo) << "the focus comes back with the controls";
}

} // namespace
