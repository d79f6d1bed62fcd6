#pragma once

#include "platform/MsgBox.h"

#include <QString>
#include <QStringList>

// What the conversion run needs of whoever drives it: the window, or a test.
// (The command-line converter has a pipeline of its own and shares only the
// core's steps with the run.) The run reads its inputs once, at its start,
// and reports back through the rest.
class RunHost {
public:
    virtual ~RunHost() = default;

    // The inputs. Directory paths end in the path separator.
    virtual QString inputPath() const = 0;
    virtual QString outputPath() const = 0;
    virtual QStringList screenshots() const = 0; // names in inputPath, in the order shown
    virtual int quality() const = 0;             // 0 to 100
    virtual bool deleteOriginals() const = 0;    // delete each bitmap once its JPEG is safe

    // The run's course. Once the directories were checked the run empties
    // the log (clearLog) and says it is processing; at runStarted the host
    // stores its settings and locks its inputs. runEnded always follows it,
    // also when the run stopped on a failed file: the host then unlocks its
    // inputs and lists the input directory again. A complete run first
    // brings a minimised window back (restoreWindow) and says it is done.
    virtual void clearLog() = 0;
    virtual void runStarted() = 0;
    virtual void showProgress(int done, int total) = 0;
    virtual void log(const QString& line) = 0;
    virtual void restoreWindow() = 0;
    virtual void runEnded() = 0;

    // Modal messages; an empty title means the application's title.
    virtual void showMessage(const QString& text, MsgIcon icon, const QString& title) = 0;
    virtual bool askYesNo(const QString& text, MsgIcon icon, const QString& title) = 0;

    // Lets the host handle its pending events between the run's steps.
    virtual void processEvents() = 0;
    // Waits, handling events, for ms milliseconds.
    virtual void pause(int ms) = 0;
};
