// How the encoder's own settings trade file size, fidelity and time on
// game screenshots at the converter's usual quality. The figures behind the
// JPEG layer's defaults come from here.
#include "GameScene.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <turbojpeg.h>
#include <vector>

namespace {

struct Setting {
    const char* name;
    int subsampling;
    int flags;
    int quality;
};

// Quality 90 is the converter's usual setting; the 4:2:0 rows at higher
// qualities show what the same bytes buy with subsampled colour.
const Setting kSettings[] = {
    {"q90 420 baseline", TJSAMP_420, 0, 90},
    {"q90 422 baseline", TJSAMP_422, 0, 90},
    {"q90 444 baseline", TJSAMP_444, 0, 90},
    {"q90 420 progressive", TJSAMP_420, TJFLAG_PROGRESSIVE, 90},
    {"q90 444 progressive", TJSAMP_444, TJFLAG_PROGRESSIVE, 90},
    {"q90 420 fast DCT", TJSAMP_420, TJFLAG_FASTDCT, 90},
    {"q93 420 baseline", TJSAMP_420, 0, 93},
    {"q95 420 baseline", TJSAMP_420, 0, 95},
    {"q86 444 baseline", TJSAMP_444, 0, 86},
};

// Peak signal-to-noise ratio over the three channels, in dB.
double psnr(const unsigned char* a, const unsigned char* b, std::size_t n)
{
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    const double mse = sum / double(n);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

void BM_JpegSetting(benchmark::State& state)
{
    const Setting& setting = kSettings[state.range(0)];
    const QSize size(1024, 768);
    double bytes = 0, quality = 0;
    int scenes = 0;
    tjhandle compressor = tjInitCompress();
    tjhandle decompressor = tjInitDecompress();
    // Three different scenes, so no single picture decides.
    std::vector<QImage> pictures;
    for (unsigned seed : {3u, 7u, 11u})
        pictures.push_back(renderGameScene(size, seed).convertToFormat(QImage::Format_RGB888));
    std::vector<unsigned char> decoded(static_cast<std::size_t>(size.width()) * size.height() * 3);

    for (auto _ : state) {
        for (const QImage& picture : pictures) {
            unsigned char* jpeg = nullptr;
            unsigned long jpegSize = 0;
            tjCompress2(compressor, picture.constBits(), size.width(), static_cast<int>(picture.bytesPerLine()),
                        size.height(), TJPF_RGB, &jpeg, &jpegSize, setting.subsampling, setting.quality, setting.flags);
            state.PauseTiming();
            if (scenes < 3) {
                tjDecompress2(decompressor, jpeg, jpegSize, decoded.data(), size.width(), size.width() * 3,
                              size.height(), TJPF_RGB, 0);
                std::vector<unsigned char> original(decoded.size());
                for (int y = 0; y < size.height(); ++y)
                    std::copy_n(picture.constScanLine(y), size.width() * 3, original.data() + y * size.width() * 3);
                bytes += double(jpegSize);
                quality += psnr(original.data(), decoded.data(), decoded.size());
                ++scenes;
            }
            state.ResumeTiming();
            tjFree(jpeg);
        }
    }
    tjDestroy(compressor);
    tjDestroy(decompressor);
    state.counters["KiB"] = bytes / scenes / 1024.0;
    state.counters["PSNR_dB"] = quality / scenes;
    state.SetLabel(setting.name);
}

} // namespace

BENCHMARK(BM_JpegSetting)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);
