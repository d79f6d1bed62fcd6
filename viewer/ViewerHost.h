#pragma once

#include <QString>
#include <functional>

class QWidget;

// What the viewer asks of the world outside its window: the clock, a modal
// stop message, and the end of the program. Tests hand in their own.
struct ViewerHost {
    // Seconds since local midnight, with their fraction.
    std::function<double()> timeOfDay;
    // A modal message box with the stop icon and an OK button.
    std::function<void(QWidget* parent, const QString& text, const QString& title)> showStopMessage;
    std::function<void(int exitCode)> endProgram;

    // The real clock, QMessageBox and QCoreApplication::exit.
    static ViewerHost system();
};
