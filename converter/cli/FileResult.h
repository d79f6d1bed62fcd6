#pragma once

#include "core/SourceFile.h"

#include <QString>
#include <QtGlobal>

// What became of one listed screenshot (a bitmap or a TGA file).
struct FileResult {
    enum class Kind { Converted, Skipped, Failed };
    Kind kind = Kind::Failed;
    QString bitmap; // the screenshot's file name
    QString jpeg;   // the JPEG's file name, when one was written (or would be)
    qint64 jpegBytes = 0;
    qint64 pixels = 0; // of a converted picture, for the speed
    QString reason;    // why it was skipped or failed, or what became of the bitmap after writing
    // Read: the file that was read (a watch does not take the same file
    // twice); StillWritten: its writer had not finished, so it is owed.
    enum class Source { Unread, Read, StillWritten, Deleted };
    Source source = Source::Unread;
    FileIdentity identity;
};
