#include "engine/platform/IntelJpegLibrary.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
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

// Writes the whole file or nothing: the bytes go to a new file beside the
// target, which replaces the target only once every byte was accepted. The
// file is unbuffered so that a short write (a full disk, a quota, a size
// limit) shows in write()'s result instead of vanishing in a buffer flush.
bool writeWholeFile(const QString& target, const unsigned char* data, qint64 size)
{
    // A fresh name, never an existing file (another writer's, or a link).
    QString temporary;
    QFile file;
    for (int attempt = 0; attempt < 8 && !file.isOpen(); ++attempt) {
        temporary = target + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
        file.setFileName(temporary);
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    }
    if (!file.isOpen())
        return false;

    bool ok = file.write(reinterpret_cast<const char*>(data), size) == size;
    file.close();
    ok = ok && file.error() == QFileDevice::NoError;
    if (ok) {
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData(), error);
        ok = !error;
    }
    if (!ok)
        QFile::remove(temporary);
    return ok;
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
    // Chosen by measurement on game screenshots (docs/jpeg-defaults.md):
    // full-resolution colour keeps the HUD and the textures' coloured edges,
    // and beats subsampled colour on size for the same fidelity. Progressive
    // coding saves 8% at ten times the encoding time.
    jcprops->JPGSubSampling = IJL_JPGSUBSAMPLING::S444;
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

    if (!writeWholeFile(QFile::decodeName(p.JPGFile), state->jpeg, static_cast<qint64>(size)))
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
