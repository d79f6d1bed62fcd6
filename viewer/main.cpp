// Kudoscope: the credits of Framewright, turning in 3-D.
#include "frmMain.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kudoscope"));

    ViewerHost host = ViewerHost::system();
    // Qt's offscreen and minimal platforms show no window to a person: a modal
    // box there would wait for ever, so the message goes to stderr.
    const QString platform = QApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        host.showStopMessage = [](QWidget*, const QString& text, const QString& title) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        };

    frmMain window(std::move(host));
    // The load runs inside the event loop, so ending the program from it
    // (after the failure message) ends the loop as well.
    QMetaObject::invokeMethod(&window, &frmMain::Form_Load, Qt::QueuedConnection);
    return app.exec();
}
