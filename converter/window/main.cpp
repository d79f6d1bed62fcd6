// Framewright: converts Half-Life's screenshots into JPEG files.
#include "window/FrmMain.h"
#include "window/MessageBoxWidget.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Framewright"));
    QApplication::setOrganizationName(QStringLiteral("Framewright"));
    QApplication::setDesktopFileName(QStringLiteral("framewright"));

    FrmMain window(realServices());
    InstallMessageBoxWidget(&window);
    if (!window.Form_Load())
        return 0;
    return QApplication::exec();
}
