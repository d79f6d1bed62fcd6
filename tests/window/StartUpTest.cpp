// FrmMain's start-up where it ends early, on both platforms: what the user
// is told names the program's folder in the platform's form.
#include "WindowHarness.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(StartUp, MissingSkinSaysSoAndEndsWithoutTouchingTheSettings)
{
    WindowHarness h;
    const QByteArray before = fwtest::readAll(h.settingsFile);
    ASSERT_TRUE(QFile::remove(h.programDir + "/skin.bmp"));
    auto w = h.window();
    EXPECT_FALSE(w->Form_Load());
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, QDir::toNativeSeparators(h.programDir + "/") + "skin.bmp is missing !!"
                                      + MsgLineBreak() + "Where is my skin ??");
    EXPECT_EQ(h.messages[0].icon, MsgIcon::Stop);
    EXPECT_EQ(h.quits, 1);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(fwtest::readAll(h.settingsFile), before);
}

} // namespace
