#pragma once

#include "core/FileIdentity.h"
#include "core/os/NativeFile.h"

#include <QFile>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

// A screenshot opened for conversion. The file is never taken while another
// program still writes it: on Linux a read lease is refused while anyone
// holds the file open for writing, on Windows our open is refused while a
// writer holds the file, and no writer can start while we hold it. Where
// neither tells (Linux, not the file's owner, a file system without leases)
// the file must keep its size and time over a short interval instead.
//
// Throws ReadError: "file not found", "cannot read file (<why>)", and
// StillBeingWritten.
class SourceFile {
public:
    // How the short interval is waited: a window passes a wait that keeps
    // handling its events; by default the thread sleeps.
    using Wait = std::function<void(int ms)>;

    explicit SourceFile(const QString& path, const Wait& wait = {});

    // Open for reading; decoders read from it.
    QFile& file() { return m_file; }
    const FileIdentity& identity() const { return m_identity; }

    // After the pixels are read: throws StillBeingWritten when the file was
    // written to since it was opened, or is open for writing now, so that
    // no torn picture is encoded.
    void checkUnchanged() const;

    // The descriptor the file was read through, for the retire step, which
    // acts on that very file; file() is closed from then on.
    std::shared_ptr<NativeFile::Descriptor> release();

private:
    NativeFile::Descriptor m_descriptor;
    QFile m_file;
    FileIdentity m_identity;
};

// The identity of the file a path names now, following links; nothing when
// there is none.
std::optional<FileIdentity> identityOfFile(const QString& path);
