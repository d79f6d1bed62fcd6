// Kudoscope: the credits of Framewright, turning in 3-D.
#include "frmMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kudoscope"));

    frmMain window(ViewerHost::system());
    // The load runs inside the event loop, so ending the program from it
    // (after the failure message) ends the loop as well.
    QMetaObject::invokeMethod(&window, &frmMain::Form_Load, Qt::QueuedConnection);
    return app.exec();
}
