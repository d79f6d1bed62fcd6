#pragma once

#include "core/Retire.h"
#include "core/SourceFile.h"

#include <QString>
#include <QtGlobal>
#include <memory>

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
    // From a read to the retire step: the descriptor it was read through,
    // and with --delete, the bitmap's way to deletion and how its JPEG was
    // written.
    std::shared_ptr<NativeFile::Descriptor> held;
    std::shared_ptr<Retire::Retirement> retirement;
    SafeFile::Result written;
};
