#include "core/SourceFile.h"

#include "core/ReadError.h"
#include "core/os/NativeFile.h"

#include <QThread>

namespace {

// Long enough for a writer that pauses between its chunks to show up, short
// enough not to matter beside the encoding.
constexpr int kSettleMs = 100;

} // namespace

std::optional<FileIdentity> identityOfFile(const QString& path) { return NativeFile::identityOfPath(path); }

SourceFile::SourceFile(const QString& path, const Wait& wait)
{
    NativeFile::Status status;
    m_descriptor = NativeFile::openForReading(path, status);
    switch (status.error) {
    case NativeFile::Error::None: break;
    case NativeFile::Error::NotFound: throw ReadError(path, "file not found");
    case NativeFile::Error::InUse: throw StillBeingWritten(path);
    default: throw ReadError(path, "cannot read file (" + status.message().toStdString() + ")");
    }
    m_file.setFileName(path);
    if (!m_file.open(m_descriptor.get(), QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        throw ReadError(path, "cannot read file");
    const int handle = m_descriptor.get();
    if (!NativeFile::isRegularFile(handle))
        throw ReadError(path, "cannot read file (not a regular file)");

    switch (NativeFile::writerOf(handle)) {
    case NativeFile::Writer::Writing: throw StillBeingWritten(path);
    case NativeFile::Writer::Unknown: {
        const FileIdentity before = NativeFile::identityOf(handle);
        if (wait)
            wait(kSettleMs);
        else
            QThread::msleep(kSettleMs);
        if (!NativeFile::identityOf(handle).isSameFile(before))
            throw StillBeingWritten(path);
        break;
    }
    case NativeFile::Writer::None: break;
    }
    m_identity = NativeFile::identityOf(handle);
}

std::shared_ptr<NativeFile::Descriptor> SourceFile::release()
{
    m_file.close();
    return std::make_shared<NativeFile::Descriptor>(std::move(m_descriptor));
}

void SourceFile::checkUnchanged() const
{
    const int handle = m_descriptor.get();
    if (!NativeFile::identityOf(handle).isSameFile(m_identity)
        || NativeFile::writerOf(handle) == NativeFile::Writer::Writing)
        throw StillBeingWritten(m_file.fileName());
}
