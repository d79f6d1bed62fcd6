#pragma once

#include "core/FileIdentity.h"
#include "core/SafeFile.h"
#include "core/ScreenshotList.h"
#include "core/os/NativeFile.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <span>

// The last steps of a conversion, the same for the window's run and the
// command line: publish the JPEG under the lowest free number, never
// replacing anything; delete the bitmap only once its JPEG is durable, and
// only the very file that was read. Each step leaves the folders in a state
// that the next start reads back from the names alone (docs/exactly-once.md),
// so that a crash at any moment costs time, never a screenshot, and never
// makes a second JPEG of one:
//   1. the JPEG's bytes under a private temporary name, flushed;
//   2. the bitmap set aside under a private name that records the number its
//      JPEG is about to take and a fingerprint of the JPEG (PrivateName);
//   3. the JPEG named, and its name flushed;
//   4. the bitmap set aside deleted.
//
// The one rule both programs follow: a bitmap that cannot be read (gone,
// refused by its reader, still being written; see ReadError) is skipped and
// stays. A bitmap that is gone by the time it would be set aside counts as
// converted: its JPEG holds what was read, and whoever moved it has it. A
// bitmap that changed since it was read (rewritten, still being written) is
// never deleted: it stays, to be converted in its turn.
//
// How a retire step counts, also the same in both programs: once its JPEG is
// written the file is converted, whatever the fate of its bitmap. A fate
// other than Deleted is told on the file's line (describe()) and is not a
// failed conversion: the window's run goes on, and the command line's exit
// status does not change. Nothing is lost by it: the bitmap is still there.
namespace Retire {

enum class Fate {
    Deleted,
    AlreadyGone,  // someone else moved or deleted it first
    Changed,      // not the file that was read: left under its name
    StillWritten, // the file that was read, but a writer holds it open: left under its name
    KeptAs,       // not the file that was read, and its name was taken meanwhile: kept under `keptName`
    NotDurable,   // the JPEG could not be flushed to the disk: the bitmap stays
    CannotDelete, // the reason says why
};

struct Outcome {
    Fate fate = Fate::CannotDelete;
    QString keptName; // for KeptAs: the bitmap's new file name, in its directory
    QString reason;   // for CannotDelete
};

// One bitmap on its way from read to deleted (steps 2 and 4 above). It acts
// through the descriptor the bitmap was read through, kept open until the
// end: on Windows it moves and deletes that very file, whatever its name
// has become, and never compares a file ID across a rename (FAT and exFAT
// change it); a bitmap still set aside when the object ends is put back.
class Retirement {
public:
    Retirement(QString bitmapPath, std::shared_ptr<NativeFile::Descriptor> read, const FileIdentity& identity);
    ~Retirement();
    Retirement(const Retirement&) = delete;
    Retirement& operator=(const Retirement&) = delete;

    // Step 2, just before the JPEG takes `number`: sets the bitmap aside
    // with the record, or renames it to the new record when the number it
    // was about to take was taken meanwhile. The bitmap stays where the
    // JPEG's bytes were not flushed, or it is not the file read.
    void beforeNaming(int number, std::span<const std::uint8_t> jpeg, bool flushed);

    // Step 4, once the JPEG was published (or not: `jpeg` says): deletes
    // the bitmap set aside when the JPEG and its name are durable, else
    // puts it back. Says what became of the bitmap.
    Outcome finish(const SafeFile::Result& jpeg);

private:
    void keep(Outcome outcome);

    QString m_bitmap;
    std::shared_ptr<NativeFile::Descriptor> m_read;
    FileIdentity m_identity;
    QString m_aside;               // while it is set aside
    std::optional<Outcome> m_kept; // decided before the JPEG was named
};

// Writes the JPEG at target without replacing anything: Written, NameTaken
// when any entry has the name, or Failed with the reason. Calls
// beforeNaming (see SafeFile::BeforeNaming) just before the name is taken.
// May throw; the exception passes to the caller.
using JpegWriter = std::function<SafeFile::Result(const QString& target, const SafeFile::BeforeNaming& beforeNaming)>;

struct Published {
    SafeFile::Result result; // NameTaken: every number is taken
    QString jpegPath;
    int number = 0; // the number it took, or the one it failed at
};

// Tries the candidate names of prefix from `from` up to, not including,
// `end`, in outputDir (which ends in a separator or is empty for the current
// directory). With a retirement, its bitmap is set aside before each name is
// tried (step 2).
Published publish(const QString& outputDir, const QString& prefix, int from, const JpegWriter& write,
                  int end = ScreenshotList::kNumberCount, Retirement* retirement = nullptr);

// Puts a bitmap set aside back under its name, or, when another file took
// the name meanwhile, under the same name with the lowest free number
// (KeptAs). `held` is the descriptor it is held through (moved through it
// on Windows), or none to move it by name. `why` is the fate when its own
// name was free.
Outcome putBack(const NativeFile::Descriptor* held, const QString& aside, const QString& bitmapPath, Fate why);

// The line's wording of an outcome that is not a plain deletion ("kept: it
// changed while it was being converted"), shared by both programs' lines.
QString describe(const Outcome& outcome);

} // namespace Retire
