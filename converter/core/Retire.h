#pragma once

#include "core/SafeFile.h"
#include "core/ScreenshotList.h"
#include "core/SourceFile.h"

#include <QString>
#include <functional>

// The last steps of a conversion, the same for the window's run and the
// command line: publish the JPEG under the lowest free number, never
// replacing anything; make it durable; delete the bitmap only if it is still
// the very file that was read.
//
// The one rule both programs follow: a bitmap that cannot be read (gone,
// refused by its reader, still being written; see ReadError) is skipped and
// stays. A bitmap that is gone by the time it would be deleted counts as
// converted: its JPEG holds what was read, and whoever moved it has it. A
// bitmap that changed since it was read (rewritten, or another file renamed
// onto its name) is never deleted: it stays, to be converted in its turn.
//
// How a retire step counts, also the same in both programs: once its JPEG is
// written the file is converted, whatever retireBitmap() answers. A fate
// other than Deleted is told on the file's line (describe()) and is not a
// failed conversion: the window's run goes on, and the command line's exit
// status does not change. Nothing is lost by it: the bitmap is still there.
namespace Retire {

// Writes the JPEG at target without replacing anything: Written, NameTaken
// when any entry has the name, or Failed with the reason. May throw; the
// exception passes to the caller.
using JpegWriter = std::function<SafeFile::Result(const QString& target)>;

struct Published {
    SafeFile::Outcome outcome = SafeFile::Outcome::Failed; // NameTaken: every number is taken
    QString jpegPath;
    int number = 0; // the number it took, or the one it failed at
    QString error;
};

// Tries the candidate names of prefix from `from` up to, not including,
// `end`, in outputDir (which ends in a separator or is empty for the current
// directory).
Published publish(const QString& outputDir, const QString& prefix, int from, const JpegWriter& write,
                  int end = ScreenshotList::kNumberCount);

enum class Fate {
    Deleted,
    AlreadyGone,  // someone else moved or deleted it first
    Changed,      // not the file that was read: left under its name
    StillWritten, // the file that was read, but a writer holds it open: left under its name
    Link,         // a symbolic link: neither it nor the file it points to is deleted
    KeptAs,       // not the file that was read, and its name was taken meanwhile: kept under `keptName`
    NotDurable,   // the JPEG could not be flushed to the disk: the bitmap stays
    CannotDelete, // the reason says why
};

struct Outcome {
    Fate fate = Fate::CannotDelete;
    QString keptName; // for KeptAs: the bitmap's new file name, in its directory
    QString reason;   // for CannotDelete
};

// Makes the JPEG durable, then deletes the bitmap when it still is the file
// with the identity that was read. The bitmap is first moved to a private
// name beside it (never replacing anything) and checked there, so that a
// file renamed onto its name at any moment is never the one deleted.
Outcome retireBitmap(const QString& jpegPath, const QString& bitmapPath, const FileIdentity& read);

// The private name of a bitmap set aside holds this after its random part,
// then the bitmap's own name.
inline const QString kAsideMark = QStringLiteral(".del.");

// Puts a bitmap set aside back under its name, or, when another file took
// the name meanwhile, under the same name with the lowest free number
// (KeptAs). `why` is the fate when its own name was free.
Outcome putBack(const QString& aside, const QString& bitmapPath, Fate why);

// The line's wording of an outcome that is not a plain deletion ("kept: it
// changed while it was being converted"), shared by both programs' lines.
QString describe(const Outcome& outcome);

} // namespace Retire
