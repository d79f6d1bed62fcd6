#include "engine/mIntelJPEGLibrary.h"

#include "engine/AppError.h"
#include "engine/cDIBSection.h"
#include "platform/IntelJpegLibrary.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

QString errorSource()
{
    const QString program = QCoreApplication::instance()
                                ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
                                : QStringLiteral("framewright");
    return program + QStringLiteral(".mIntelJPEGLibrary");
}

[[noreturn]] void raise(const QString& description) { throw AppError(kJpegErrorNumber, errorSource(), description); }

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

IJLERR write(const cDIBSection& image, const QString& fileName, int quality, bool noReplace,
             const SafeFile::BeforeNaming& beforeNaming = {}, bool* durable = nullptr)
{
    IjlRecord record;
    JPEG_CORE_PROPERTIES& props = record.props();

    props.DIBWidth = image.Width();
    props.DIBHeight = -image.Height();
    props.DIBBytes = image.DIBSectionBitsPtr();
    props.DIBPadBytes = image.BytesPerScanLine() - image.Width() * 3;

    props.JPGFile = fileName;
    props.JPGWidth = image.Width();
    props.JPGHeight = image.Height();
    props.jquality = quality;
    props.JPGNoReplace = noReplace;
    props.JPGBeforeNaming = beforeNaming;

    const IJLERR status = ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE);
    if (durable)
        *durable = props.JPGDurable;
    if (status != IJL_OK && status != IJL_FILE_EXISTS)
        raise(QStringLiteral("Failed to save to JPG %1").arg(status));
    return status;
}

} // namespace

bool SaveToJPG(const cDIBSection& image, const QString& fileName, int quality)
{
    write(image, fileName, quality, false);
    return true;
}

NewJpg SaveToNewJPG(const cDIBSection& image, const QString& fileName, int quality)
{
    return write(image, fileName, quality, true) == IJL_OK ? NewJpg::Written : NewJpg::NameTaken;
}

SafeFile::Result SaveToNewJPG(const cDIBSection& image, const QString& fileName, int quality,
                              const SafeFile::BeforeNaming& beforeNaming)
{
    bool durable = false;
    if (write(image, fileName, quality, true, beforeNaming, &durable) != IJL_OK)
        return {SafeFile::Outcome::NameTaken, {}};
    return {SafeFile::Outcome::Written, {}, durable};
}
