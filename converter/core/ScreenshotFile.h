#pragma once

#include "core/PixelLayout.h"
#include "core/ScreenshotFormat.h"
#include "core/SourceFile.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// One screenshot file and the facts about it that the programs act on, each
// decided here once. The window's list and run, the file helpers, the
// command line and its watch all read them from here:
// - the name as the file system stores it: name() and path() keep every
//   byte (NativeName), and the file-system calls (os/NativeFile) hand the
//   path to the system as those bytes;
// - the format, with its reader (ScreenshotFormat);
// - the identity and size: lookUp() for what the name holds now, identity()
//   for the very file that was read, compared by FileIdentity's rules;
// - the picture's layout once it is read (PixelLayout).
class ScreenshotFile {
public:
    // A file of a directory (empty, or ending in a separator or not) by its
    // listed name.
    ScreenshotFile(const QString& directory, QString name);

    const QString& name() const { return m_name; }
    const QString& path() const { return m_path; }
    // nullptr for a name of no input format.
    const ScreenshotFormat* format() const { return m_format; }

    // The regular file the name holds now, following links; nothing when
    // there is none.
    std::optional<FileIdentity> lookUp() const { return identityOfFile(m_path); }

    // What decides, once the file is open, whether it is read: given the
    // size the format's rule measures, true to go on.
    using Accept = std::function<bool(std::int64_t ruleBytes)>;

    // Opens the file (never while another program writes it, see
    // SourceFile), asks `accept`, decodes the picture with the format's
    // reader into the buffer the allocator returns, and checks that the file
    // did not change meanwhile. False when `accept` said no. Throws
    // ReadError (or what the allocator throws); identity() is known from the
    // moment the file is open, also when reading it fails. `wait` is how a
    // settle check waits (see SourceFile).
    bool read(const PixelAllocator& allocate, const Accept& accept = {}, const SourceFile::Wait& wait = {});

    // The very file that was opened.
    const std::optional<FileIdentity>& identity() const { return m_identity; }
    // Its descriptor, still open after a read that succeeded, for the
    // retire step (Retire::Retirement).
    const std::shared_ptr<NativeFile::Descriptor>& held() const { return m_held; }
    // The picture that was read.
    const PixelLayout& picture() const { return m_picture; }

private:
    QString m_name;
    QString m_path;
    const ScreenshotFormat* m_format;
    std::optional<FileIdentity> m_identity;
    std::shared_ptr<NativeFile::Descriptor> m_held;
    PixelLayout m_picture;
};
