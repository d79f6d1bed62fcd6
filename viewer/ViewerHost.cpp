#include "ViewerHost.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTime>

ViewerHost ViewerHost::system()
{
    ViewerHost host;
    host.timeOfDay = [] { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; };
    host.showStopMessage = [](QWidget* parent, const QString& text, const QString& title) {
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
    };
    host.endProgram = [](int exitCode) { QCoreApplication::exit(exitCode); };
    return host;
}
