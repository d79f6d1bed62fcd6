#include "core/JpegEncoder.h"

#include <algorithm>
#include <stdexcept>
#include <turbojpeg.h>

namespace {

// Chosen by measurement on game screenshots (docs/jpeg-defaults.md):
// full-resolution colour keeps the HUD's and the textures' coloured edges
// and beats subsampled colour on size for the same fidelity; baseline
// coding, since progressive saves 8% at eight times the time; and the
// accurate DCT, which costs next to nothing with SIMD and keeps the detail
// that the fast one loses at the qualities the converter is used at.
constexpr int kSubsampling = TJSAMP_444;
constexpr int kFlags = TJFLAG_ACCURATEDCT;

} // namespace

struct JpegEncoder::State {
    tjhandle compressor = nullptr;
    unsigned char* jpeg = nullptr; // reused between pictures, grown by the encoder
    unsigned long capacity = 0;

    ~State()
    {
        tjFree(jpeg);
        if (compressor)
            tjDestroy(compressor);
    }
};

JpegEncoder::JpegEncoder() : m_state(std::make_unique<State>())
{
    m_state->compressor = tjInitCompress();
    if (!m_state->compressor)
        throw std::runtime_error(tjGetErrorStr2(nullptr));
}

JpegEncoder::~JpegEncoder() = default;

std::span<const std::uint8_t> JpegEncoder::encode(const Pixels& pixels, int quality)
{
    if (!pixels.bgr || pixels.width <= 0 || pixels.height <= 0 || pixels.pitch < pixels.width * 3)
        throw std::runtime_error("no pixels to encode");
    State& s = *m_state;
    unsigned long size = s.capacity;
    const int flags = kFlags | (pixels.bottomUp ? TJFLAG_BOTTOMUP : 0);
    if (tjCompress2(s.compressor, pixels.bgr, pixels.width, pixels.pitch, pixels.height, TJPF_BGR, &s.jpeg,
                    &size, kSubsampling, std::clamp(quality, 1, 100), flags)
        != 0)
        throw std::runtime_error(tjGetErrorStr2(s.compressor));
    s.capacity = std::max(s.capacity, size);
    return {s.jpeg, size};
}
