#pragma once

#include <QString>
#include <QStringList>

// What a converter that died (a crash, a power cut, kill -9) left in a
// folder: a bitmap it had set aside before deleting it, and temporary JPEG
// files it had not yet named. Both are hidden private files that no list
// shows, so each start of a run (the window's, the command line's, a watch)
// recovers them first. A private file that a live converter holds locked is
// in use, and is never touched.
namespace Recovery {

struct Recovered {
    // The bitmaps put back, each under its own name or, when another file
    // has that name now, under a free one: to be converted in their turn.
    QStringList bitmaps;
    int temporariesRemoved = 0;
};

Recovered recover(const QString& folder);

} // namespace Recovery
