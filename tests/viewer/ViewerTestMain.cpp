// main() for the viewer tests that need a particular display: it brings its
// own Xvfb when asked to (CI has no display), picks the Qt platform and gives
// the run private runtime and config directories.
//
// Compile definitions choose the set-up:
//   VIEWER_TEST_XVFB=1   start a private Xvfb and use it (0: no display at all)
//   VIEWER_TEST_QPA      the Qt platform plugin, "xcb" or "offscreen"
//   VIEWER_TEST_NO_GLX=1 let Qt's xcb plugin offer no OpenGL
#include "TempDir.h"
#include "XvfbServer.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

namespace {

// Mesa unloads its driver when the X connection closes, before the leak
// checker runs; the driver's few process-lifetime allocations would then be
// reported from an unknown module and escape the suppressions by name.
// Keeping the GL libraries loaded lets the checker name them.
void keepGlLibrariesLoaded()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name;
            if (name
                && (std::strstr(name, "_dri.so") || std::strstr(name, "libLLVM") || std::strstr(name, "libGLX")
                    || std::strstr(name, "libglapi")))
                dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    QTemporaryDir home;
    fwtest::usePrivateUserDirs(home.path());

    XvfbServer xvfb;
    if (VIEWER_TEST_XVFB) {
        if (!xvfb.start()) {
            std::fprintf(stderr, "cannot start Xvfb: %s\n", xvfb.error().c_str());
            return 1;
        }
        setenv("DISPLAY", xvfb.display().c_str(), 1);
    } else {
        // Without a display even the offscreen platform has no OpenGL.
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
    setenv("QT_QPA_PLATFORM", VIEWER_TEST_QPA, 1);
    if (VIEWER_TEST_NO_GLX)
        setenv("QT_XCB_GL_INTEGRATION", "none", 1);

    int result;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
        keepGlLibrariesLoaded();
    }
    return result;
}
