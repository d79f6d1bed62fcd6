#include "IntelJpegLibrary.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <turbojpeg.h>

namespace {

struct EncoderState {
    tjhandle compressor = nullptr;
    unsigned char* jpeg = nullptr; // reused between writes, grown by the encoder
    unsigned long capacity = 0;

    ~EncoderState()
    {
        tjFree(jpeg);
        if (compressor)
            tjDestroy(compressor);
    }
};

int toTurboSubsampling(IJL_JPGSUBSAMPLING s)
{
    switch (s) {
    case IJL_JPGSUBSAMPLING::S444: return TJSAMP_444;
    case IJL_JPGSUBSAMPLING::S422: return TJSAMP_422;
    case IJL_JPGSUBSAMPLING::S411: return TJSAMP_420;
    }
    return TJSAMP_420;
}

} // namespace

IJLERR ijlInit(JPEG_CORE_PROPERTIES* jcprops)
{
    if (!jcprops || jcprops->jprops)
        return IJL_INVALID_ARGUMENT;
    auto state = std::make_unique<EncoderState>();
    state->compressor = tjInitCompress();
    if (!state->compressor)
        return IJL_MEMORY_ERROR;

    jcprops->DIBChannels = 3;
    jcprops->DIBColor = IJL_COLOR::BGR;
    jcprops->JPGChannels = 3;
    jcprops->JPGColor = IJL_COLOR::YCBCR;
    // Chosen by measurement on game screenshots: 4:2:0 and baseline coding
    // at the same quality give the smallest files for a tiny loss on the
    // HUD's coloured edges (see docs/jpeg-defaults.md).
    jcprops->JPGSubSampling = IJL_JPGSUBSAMPLING::S411;
    jcprops->JPGProgressive = false;
    jcprops->jprops = state.release();
    return IJL_OK;
}

IJLERR ijlWrite(JPEG_CORE_PROPERTIES* jcprops, int iotype)
{
    if (!jcprops || !jcprops->jprops)
        return IJL_NOT_INITIALISED;
    auto* state = static_cast<EncoderState*>(jcprops->jprops);
    const JPEG_CORE_PROPERTIES& p = *jcprops;
    if (iotype != IJL_JFILE_WRITEWHOLEIMAGE || !p.DIBBytes || !p.JPGFile || !*p.JPGFile
        || p.DIBChannels != 3 || p.DIBWidth <= 0 || p.DIBHeight == 0 || p.DIBPadBytes < 0
        || p.JPGWidth != p.DIBWidth || p.JPGHeight != std::abs(p.DIBHeight))
        return IJL_INVALID_ARGUMENT;

    const int height = std::abs(p.DIBHeight);
    const int pitch = p.DIBWidth * 3 + p.DIBPadBytes;
    const int pixelFormat = p.DIBColor == IJL_COLOR::RGB ? TJPF_RGB : TJPF_BGR;
    int flags = 0;
    if (p.DIBHeight < 0)
        flags |= TJFLAG_BOTTOMUP;
    if (p.JPGProgressive)
        flags |= TJFLAG_PROGRESSIVE;
    // The encoder knows qualities 1 to 100; 0 means the lowest.
    const int quality = std::clamp(p.jquality, 1, 100);

    unsigned long size = state->capacity;
    if (tjCompress2(state->compressor, p.DIBBytes, p.DIBWidth, pitch, height, pixelFormat,
                    &state->jpeg, &size, toTurboSubsampling(p.JPGSubSampling), quality, flags)
        != 0)
        return IJL_ENCODE_ERROR;
    state->capacity = std::max(state->capacity, size);

    // The whole file or nothing: QSaveFile writes beside the target and
    // renames only after every byte made it to disk.
    QSaveFile file(QFile::decodeName(p.JPGFile));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return IJL_FILE_ERROR;
    if (file.write(reinterpret_cast<const char*>(state->jpeg), static_cast<qint64>(size))
            != static_cast<qint64>(size)
        || !file.commit())
        return IJL_FILE_ERROR;
    return IJL_OK;
}

IJLERR ijlFree(JPEG_CORE_PROPERTIES* jcprops)
{
    if (!jcprops)
        return IJL_INVALID_ARGUMENT;
    delete static_cast<EncoderState*>(jcprops->jprops);
    jcprops->jprops = nullptr;
    return IJL_OK;
}
