// The window as a native Wayland client, under a headless Weston that this
// program starts for itself before the application picks its platform.
#include "WindowHarness.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(Wayland, TheWindowMapsWithATransparentOutside)
{
    ASSERT_EQ(QGuiApplication::platformName(), "wayland");
    WindowHarness h;
    auto w = h.started();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get(), 10000));

    // Outside the outline (the skin's top-left corner) nothing is painted on
    // the translucent window; inside, the skin is opaque.
    const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(shot.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(shot.pixel(320, 300)), 255);
    EXPECT_FALSE(w->mask().isEmpty()) << "the outline limits where the window takes input";
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home;
    fwtest::usePrivateUserDirs(home.path()); // XDG_RUNTIME_DIR, where Weston puts its socket
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");

    const QByteArray log = "--log=" + (runtime + "/weston.log").toLocal8Bit();
    const pid_t weston = fork();
    if (weston == 0) {
        execlp("weston", "weston", "--backend=headless-backend.so", "--socket=fw-test", "--idle-time=0", "--no-config",
               log.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Weston is ready once its socket exists.
    for (int i = 0; i < 200 && !QFileInfo::exists(runtime + "/fw-test"); ++i)
        usleep(50000);
    int result = 1;
    if (!QFileInfo::exists(runtime + "/fw-test")) {
        std::fprintf(stderr, "weston did not start (is the package installed?)\n");
    } else {
        setenv("WAYLAND_DISPLAY", "fw-test", 1);
        setenv("QT_QPA_PLATFORM", "wayland", 1);
        // The window draws into shared memory; without this Qt would also
        // load the GL driver, which only leaks at exit here.
        setenv("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "none", 1);
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    kill(weston, SIGTERM);
    waitpid(weston, nullptr, 0);
    return result;
}
