#include "engine/mIntelJPEGLibrary.h"

#include "engine/AppError.h"
#include "engine/cDIBSection.h"
#include "engine/platform/IntelJpegLibrary.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace {

QString errorSource()
{
    const QString program = QCoreApplication::instance()
        ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
        : QStringLiteral("framewright");
    return program + QStringLiteral(".mIntelJPEGLibrary");
}

[[noreturn]] void raise(const QString& description)
{
    throw AppError(kJpegErrorNumber, errorSource(), description);
}

// What an existing target hands on to the file that replaces it.
struct KeptFileState {
    QFileDevice::Permissions permissions;
    QDateTime created;
    QDateTime accessed;
    QDateTime modified;
};

// Frees the library record on every way out once it was initialised.
class IjlRecord {
public:
    IjlRecord()
    {
        const IJLERR status = ijlInit(&m_props);
        if (status != IJL_OK)
            raise(QStringLiteral("Failed to initialise the IJL library: %1").arg(status));
    }
    ~IjlRecord() { ijlFree(&m_props); }
    IjlRecord(const IjlRecord&) = delete;
    IjlRecord& operator=(const IjlRecord&) = delete;

    JPEG_CORE_PROPERTIES& props() { return m_props; }

private:
    JPEG_CORE_PROPERTIES m_props{};
};

void restore(const QString& fileName, const KeptFileState& kept)
{
    // Failures here are not worth failing a written file for. Linux cannot
    // set a birth time; the call simply reports false there.
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        file.setFileTime(kept.created, QFileDevice::FileBirthTime);
        file.setFileTime(kept.accessed, QFileDevice::FileAccessTime);
        file.setFileTime(kept.modified, QFileDevice::FileModificationTime);
        file.close();
    }
    file.setPermissions(kept.permissions);
}

} // namespace

bool SaveToJPG(const cDIBSection& image, const QString& fileName, int quality)
{
    IjlRecord record;
    JPEG_CORE_PROPERTIES& props = record.props();

    std::optional<KeptFileState> kept;
    if (const QFileInfo target(fileName); target.exists() && !target.isDir()) {
        kept = KeptFileState{target.permissions(), target.birthTime(), target.lastRead(),
                             target.lastModified()};
    }

    props.DIBWidth = image.Width();
    props.DIBHeight = -image.Height();
    props.DIBBytes = image.DIBSectionBitsPtr();
    props.DIBPadBytes = image.BytesPerScanLine() - image.Width() * 3;

    const QByteArray encodedName = QFile::encodeName(fileName);
    props.JPGFile = encodedName.constData();
    props.JPGWidth = image.Width();
    props.JPGHeight = image.Height();
    props.jquality = quality;

    const IJLERR status = ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE);
    if (status != IJL_OK)
        raise(QStringLiteral("Failed to save to JPG %1").arg(status));

    if (kept)
        restore(fileName, *kept);
    return true;
}
