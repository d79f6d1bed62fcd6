#pragma once

#include <QString>
#include <QStringList>

// What a converter that died (a crash, a power cut, kill -9) left in a
// folder: bitmaps it had set aside, and temporary JPEG files it had not yet
// named. Both are hidden private files that no list shows, so each start of
// a run (the window's, the command line's, a watch) recovers them first. A
// private file that a live converter holds is in use, and is never touched.
// The rule for each crash point is in docs/exactly-once.md.
namespace Recovery {

struct Recovered {
    // The bitmaps put back, each under its own name or, when another file
    // has that name now, under a free one: to be converted in their turn.
    QStringList bitmaps;
    // The bitmaps whose JPEG was named before the converter died: deleted,
    // as it was about to do.
    QStringList deleted;
    int temporariesRemoved = 0;
};

// `outputDir` is where the JPEG files of the folder's bitmaps go now; a
// bitmap whose JPEG is not there, whole and the very one recorded, is put
// back: it is never deleted on a guess.
Recovered recover(const QString& folder, const QString& outputDir);

} // namespace Recovery
