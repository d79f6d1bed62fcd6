// How the encoder's own settings trade file size, fidelity and time on
// game screenshots at the converter's usual quality. The figures behind the
// JPEG layer's defaults come from here.
#include "GameScene.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <iterator>
#include <turbojpeg.h>
#include <vector>

namespace {

struct Setting {
    const char* name;
    int subsampling;
    int flags;
    int quality;
};

constexpr int kAccurate = TJFLAG_ACCURATEDCT;
constexpr int kFast = TJFLAG_FASTDCT;

// Quality 90 is the converter's usual setting; the 4:2:0 rows at higher
// qualities show what the same bytes buy with subsampled colour, and the
// pairs at 75, 90 and 95 what the DCT costs and gives.
const Setting kSettings[] = {
    {"q90 420 baseline", TJSAMP_420, kAccurate, 90},
    {"q90 422 baseline", TJSAMP_422, kAccurate, 90},
    {"q90 444 baseline", TJSAMP_444, kAccurate, 90},
    {"q90 420 progressive", TJSAMP_420, kAccurate | TJFLAG_PROGRESSIVE, 90},
    {"q90 444 progressive", TJSAMP_444, kAccurate | TJFLAG_PROGRESSIVE, 90},
    {"q93 420 baseline", TJSAMP_420, kAccurate, 93},
    {"q95 420 baseline", TJSAMP_420, kAccurate, 95},
    {"q86 444 baseline", TJSAMP_444, kAccurate, 86},
    {"q75 444 accurate DCT", TJSAMP_444, kAccurate, 75},
    {"q75 444 fast DCT", TJSAMP_444, kFast, 75},
    {"q90 444 accurate DCT", TJSAMP_444, kAccurate, 90},
    {"q90 444 fast DCT", TJSAMP_444, kFast, 90},
    {"q95 444 accurate DCT", TJSAMP_444, kAccurate, 95},
    {"q95 444 fast DCT", TJSAMP_444, kFast, 95},
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

// Mean structural similarity of the luma, over 8 x 8 windows side by side:
// enough to rank settings, far cheaper than the sliding Gaussian form.
double ssim(const unsigned char* a, const unsigned char* b, int width, int height)
{
    const auto luma = [width](const unsigned char* p, int x, int y) {
        const unsigned char* q = p + (static_cast<std::size_t>(y) * width + x) * 3;
        return 0.299 * q[0] + 0.587 * q[1] + 0.114 * q[2];
    };
    constexpr double c1 = (0.01 * 255) * (0.01 * 255), c2 = (0.03 * 255) * (0.03 * 255);
    double sum = 0;
    int windows = 0;
    for (int y0 = 0; y0 + 8 <= height; y0 += 8) {
        for (int x0 = 0; x0 + 8 <= width; x0 += 8) {
            double ma = 0, mb = 0, va = 0, vb = 0, cov = 0;
            for (int y = y0; y < y0 + 8; ++y)
                for (int x = x0; x < x0 + 8; ++x) {
                    const double la = luma(a, x, y), lb = luma(b, x, y);
                    ma += la, mb += lb, va += la * la, vb += lb * lb, cov += la * lb;
                }
            ma /= 64, mb /= 64;
            va = va / 64 - ma * ma, vb = vb / 64 - mb * mb, cov = cov / 64 - ma * mb;
            sum += (2 * ma * mb + c1) * (2 * cov + c2) / ((ma * ma + mb * mb + c1) * (va + vb + c2));
            ++windows;
        }
    }
    return sum / windows;
}

void BM_JpegSetting(benchmark::State& state)
{
    const Setting& setting = kSettings[state.range(0)];
    const QSize size(1024, 768);
    double bytes = 0, quality = 0, similarity = 0;
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
                similarity += ssim(original.data(), decoded.data(), size.width(), size.height());
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
    state.counters["SSIM"] = similarity / scenes;
    state.SetLabel(setting.name);
}

} // namespace

BENCHMARK(BM_JpegSetting)->DenseRange(0, static_cast<int>(std::size(kSettings)) - 1)->Unit(benchmark::kMillisecond);
