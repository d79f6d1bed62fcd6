#include "platform/IntelJpegLibrary.h"

#include "core/JpegEncoder.h"
#include "core/SafeFile.h"

#include <QFile>
#include <cstdlib>
#include <exception>

IJLERR ijlInit(JPEG_CORE_PROPERTIES* jcprops)
{
    if (!jcprops || jcprops->jprops)
        return IJL_INVALID_ARGUMENT;
    try {
        jcprops->jprops = new JpegEncoder;
    } catch (const std::exception&) {
        return IJL_MEMORY_ERROR;
    }
    jcprops->DIBChannels = 3;
    jcprops->DIBColor = IJL_COLOR::BGR;
    jcprops->JPGChannels = 3;
    jcprops->JPGColor = IJL_COLOR::YCBCR;
    return IJL_OK;
}

IJLERR ijlWrite(JPEG_CORE_PROPERTIES* jcprops, int iotype)
{
    if (!jcprops || !jcprops->jprops)
        return IJL_NOT_INITIALISED;
    JPEG_CORE_PROPERTIES& p = *jcprops;
    if (iotype != IJL_JFILE_WRITEWHOLEIMAGE || !p.DIBBytes || p.JPGFile.isEmpty() || p.DIBChannels != 3
        || p.DIBColor != IJL_COLOR::BGR || p.DIBWidth <= 0 || p.DIBHeight == 0 || p.DIBPadBytes < 0
        || p.JPGWidth != p.DIBWidth || p.JPGHeight != std::abs(p.DIBHeight))
        return IJL_INVALID_ARGUMENT;

    std::span<const std::uint8_t> jpeg;
    try {
        const JpegEncoder::Pixels pixels{p.DIBBytes, p.DIBWidth, std::abs(p.DIBHeight), p.DIBWidth * 3 + p.DIBPadBytes,
                                         p.DIBHeight < 0};
        jpeg = static_cast<JpegEncoder*>(p.jprops)->encode(pixels, p.jquality);
    } catch (const std::exception&) {
        return IJL_ENCODE_ERROR;
    }

    const auto mode = p.JPGNoReplace ? SafeFile::Publish::NoReplace : SafeFile::Publish::Replace;
    const SafeFile::Result written =
        SafeFile::write(p.JPGFile, jpeg, mode, p.JPGNoReplace ? p.JPGBeforeNaming : SafeFile::BeforeNaming{});
    p.JPGDurable = written.durable;
    switch (written.outcome) {
    case SafeFile::Outcome::Written: return IJL_OK;
    case SafeFile::Outcome::NameTaken: return IJL_FILE_EXISTS;
    case SafeFile::Outcome::Failed: break;
    }
    return IJL_FILE_ERROR;
}

IJLERR ijlFree(JPEG_CORE_PROPERTIES* jcprops)
{
    if (!jcprops)
        return IJL_INVALID_ARGUMENT;
    delete static_cast<JpegEncoder*>(jcprops->jprops);
    jcprops->jprops = nullptr;
    return IJL_OK;
}
