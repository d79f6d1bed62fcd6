#pragma once

// A ViewerHost whose clock the test sets and whose message box and program
// end only take notes.
#include "ViewerHost.h"

#include <QStringList>
#include <memory>

struct HostLog {
    double seconds = 0.0;
    QStringList messages; // "title|text"
    QList<int> endCodes;
};

inline ViewerHost fakeHost(const std::shared_ptr<HostLog>& log)
{
    ViewerHost host;
    host.timeOfDay = [log] { return log->seconds; };
    host.showStopMessage = [log](QWidget*, const QString& text, const QString& title) {
        log->messages << title + "|" + text;
    };
    host.endProgram = [log](int code) { log->endCodes << code; };
    return host;
}
