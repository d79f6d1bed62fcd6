// What Huffman tables made for each picture, and progressive coding, cost in
// time and save in bytes against the standard tables, through the encoder
// the programs use. Every coding must give back the very same pixels: they
// differ only in how the quantised picture is written, and a benchmark whose
// files decode differently stops with an error.
//
// The sample art is seeded through qHash, whose seed changes from process to
// process unless QT_HASH_SEED=0: set it for byte counts that repeat. For
// instruction counts that repeat on a busy machine, callgrind-coding.sh
// counts the encoding alone.
#include "GameScene.h"
#include "SampleArt.h"
#include "core/JpegEncoder.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <iterator>
#include <string>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr int kQuality = 90;

using Coding = JpegEncoder::Coding;

struct CodingRow {
    const char* name;
    Coding coding;
};

const CodingRow kCodings[] = {
    {"standard tables", Coding::StandardTables},
    {"optimised tables", Coding::OptimisedTables},
    {"progressive", Coding::Progressive},
};

// Three sets, none of them a real game screenshot (there is none we may
// ship): our game-like scenes, the sample art the window offers, and
// screenshots of our own windows, whose flat areas and text are the
// opposite of the scenes' noisy textures.
std::vector<QImage> gameScenes()
{
    std::vector<QImage> pictures;
    for (unsigned seed : {3u, 7u, 11u})
        pictures.push_back(renderGameScene(QSize(1024, 768), seed));
    return pictures;
}

std::vector<QImage> sampleArt()
{
    std::vector<QImage> pictures;
    for (const QSize size : {QSize(1024, 768), QSize(1280, 960)})
        for (int scene = 0; scene < 3; ++scene)
            pictures.push_back(art::sampleScreenshot({QStringLiteral("c0a0%1.bmp").arg(scene), size, scene}));
    return pictures;
}

std::vector<QImage> windowShots()
{
    std::vector<QImage> pictures;
    for (const char* name : {"framewright@2x.png", "framewright.png", "kudoscope.png"})
        pictures.emplace_back(QStringLiteral(FW_DOCS_DIR "/") + name);
    return pictures;
}

struct PictureSet {
    const char* name;
    std::vector<QImage> (*make)();
};

const PictureSet kSets[] = {
    {"game scenes", gameScenes},
    {"sample art", sampleArt},
    {"window shots", windowShots},
};

// Drawn once per set for the whole run, in the encoder's byte order.
const std::vector<QImage>& picturesOf(std::size_t set)
{
    static std::vector<QImage> drawn[std::size(kSets)];
    if (drawn[set].empty())
        for (const QImage& picture : kSets[set].make())
            drawn[set].push_back(picture.convertToFormat(QImage::Format_BGR888));
    return drawn[set];
}

JpegEncoder::Pixels pixelsOf(const QImage& picture)
{
    return {picture.constBits(), picture.width(), picture.height(), static_cast<int>(picture.bytesPerLine()), false};
}

std::vector<unsigned char> decode(std::span<const std::uint8_t> jpeg, const QImage& like)
{
    std::vector<unsigned char> pixels(static_cast<std::size_t>(like.width()) * like.height() * 3);
    tjhandle decompressor = tjInitDecompress();
    tjDecompress2(decompressor, jpeg.data(), jpeg.size(), pixels.data(), like.width(), like.width() * 3, like.height(),
                  TJPF_BGR, 0);
    tjDestroy(decompressor);
    return pixels;
}

// Out of line, so that callgrind can count the timed work alone.
[[gnu::noinline]] std::size_t encodeAll(JpegEncoder& encoder, const std::vector<QImage>& pictures)
{
    std::size_t bytes = 0;
    for (const QImage& picture : pictures)
        bytes += encoder.encode(pixelsOf(picture), kQuality).size();
    return bytes;
}

void BM_JpegCoding(benchmark::State& state)
{
    const auto set = static_cast<std::size_t>(state.range(0));
    const CodingRow& row = kCodings[state.range(1)];
    const std::vector<QImage>& pictures = picturesOf(set);
    JpegEncoder encoder(row.coding);
    JpegEncoder standard(Coding::StandardTables);

    double bytes = 0, standardBytes = 0;
    bool identical = true;
    for (const QImage& picture : pictures) {
        const std::span<const std::uint8_t> ours = encoder.encode(pixelsOf(picture), kQuality);
        bytes += double(ours.size());
        const std::vector<unsigned char> decoded = decode(ours, picture);
        const std::span<const std::uint8_t> reference = standard.encode(pixelsOf(picture), kQuality);
        standardBytes += double(reference.size());
        identical = identical && decode(reference, picture) == decoded;
    }
    state.SetLabel(std::string(kSets[set].name) + ", " + row.name);
    if (!identical) {
        state.SkipWithError("the file decodes to other pixels than the standard tables' file");
        return;
    }

    for (auto _ : state)
        benchmark::DoNotOptimize(encodeAll(encoder, pictures));

    state.counters["pictures"] = double(pictures.size());
    state.counters["KiB"] = bytes / 1024.0;
    state.counters["saved_%"] = 100.0 * (1.0 - bytes / standardBytes);
}

} // namespace

BENCHMARK(BM_JpegCoding)->ArgsProduct({{0, 1, 2}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
