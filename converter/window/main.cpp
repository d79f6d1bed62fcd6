// Framewright: converts Half-Life's screenshots into JPEG files.
#include "window/FrmMain.h"
#include "window/MessageBoxWidget.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // On a Wayland desktop talk to the compositor itself, not through
    // XWayland; X11 stays the fallback, and a platform the user names wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Framewright"));
    QApplication::setOrganizationName(QStringLiteral("Framewright"));
    // Docks and task bars find the program's name and icon by it.
    QApplication::setDesktopFileName(QStringLiteral("org.framewright.Framewright"));

    FrmMain window(realServices());
    InstallMessageBoxWidget(&window);
    if (!window.Form_Load())
        return 0;
    return QApplication::exec();
}
