// The converter's path from a screenshot on disk to a JPEG on disk, against
// the floor of what libjpeg-turbo needs for the same pixels: the goal is to
// stay within 1.15 times the floor at every size.
#include "GameScene.h"
#include "core/PixelLayout.h"
#include "engine/cDIBSection.h"
#include "engine/mIntelJPEGLibrary.h"
#include "platform/Picture.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <turbojpeg.h>
#include <utility>

namespace {

constexpr int kQuality = 90;

const QSize kSizes[] = {{640, 480}, {1024, 768}, {1920, 1080}};

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString bitmapFor(QSize size)
{
    const QString path = workDir().filePath(QString("shot%1x%2.bmp").arg(size.width()).arg(size.height()));
    if (!QFile::exists(path))
        renderGameScene(size, 7).save(path, "BMP");
    return path;
}

// The conversion run's own sequence of calls for one file.
class OurPath {
public:
    explicit OurPath(QSize size) : m_bmp(bitmapFor(size)), m_jpg(workDir().filePath("ours.JPG")) {}

    void prepare() { QFile::remove(m_jpg); } // the run writes only under free names
    void convert()
    {
        StdPicture picture = LoadPicture(m_bmp);
        m_image.CreateFromPicture(std::move(picture));
        SaveToNewJPG(m_image, m_jpg, kQuality);
        m_image.ClearUp();
        picture.Release();
    }

private:
    QString m_bmp;
    QString m_jpg;
    cDIBSection m_image;
};

// The floor: the bitmap's bytes already in memory, one compress of its
// pixels with the JPEG layer's settings (4:4:4, accurate DCT), the JPEG
// written to a file.
class TurboFloor {
public:
    explicit TurboFloor(QSize size)
        : m_size(size), m_name(QFile::encodeName(workDir().filePath("floor.JPG"))), m_compressor(tjInitCompress())
    {
        QFile f(bitmapFor(size));
        f.open(QIODevice::ReadOnly);
        m_bytes = f.readAll();
    }
    ~TurboFloor() { tjDestroy(m_compressor); }
    TurboFloor(const TurboFloor&) = delete;
    TurboFloor& operator=(const TurboFloor&) = delete;

    void prepare() { std::remove(m_name.constData()); }
    void convert()
    {
        const auto* pixels = reinterpret_cast<const unsigned char*>(m_bytes.constData()) + 54;
        const int pitch = int(PixelLayout{m_size.width(), m_size.height()}.rowBytes());
        unsigned char* out = nullptr;
        unsigned long size = 0;
        tjCompress2(m_compressor, pixels, m_size.width(), pitch, m_size.height(), TJPF_BGR, &out, &size, TJSAMP_444,
                    kQuality, TJFLAG_ACCURATEDCT | TJFLAG_BOTTOMUP);
        FILE* file = std::fopen(m_name.constData(), "wb");
        std::fwrite(out, 1, size, file);
        std::fclose(file);
        tjFree(out);
    }

private:
    QSize m_size;
    QByteArray m_name;
    QByteArray m_bytes;
    tjhandle m_compressor;
};

template <typename Path>
void timeEach(benchmark::State& state)
{
    const QSize size = kSizes[state.range(0)];
    Path path(size);
    for (auto _ : state) {
        state.PauseTiming();
        path.prepare();
        state.ResumeTiming();
        path.convert();
    }
    state.SetLabel(QString("%1x%2").arg(size.width()).arg(size.height()).toStdString());
}

void BM_ConvertFile(benchmark::State& state) { timeEach<OurPath>(state); }
void BM_TurboFloor(benchmark::State& state) { timeEach<TurboFloor>(state); }

// Both paths in turns within one loop, so that the machine's drift in speed
// falls on both alike: the ratio is the figure to compare with 1.15.
void BM_ConvertOverFloor(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const QSize size = kSizes[state.range(0)];
    OurPath ours(size);
    TurboFloor floor(size);
    Clock::duration oursTime{}, floorTime{};
    for (auto _ : state) {
        ours.prepare();
        floor.prepare();
        const auto t0 = Clock::now();
        ours.convert();
        const auto t1 = Clock::now();
        floor.convert();
        const auto t2 = Clock::now();
        oursTime += t1 - t0;
        floorTime += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = std::chrono::duration<double, std::milli>(oursTime).count() / n;
    state.counters["floor_ms"] = std::chrono::duration<double, std::milli>(floorTime).count() / n;
    state.counters["ratio"] = static_cast<double>(oursTime.count()) / static_cast<double>(floorTime.count());
    state.SetLabel(QString("%1x%2").arg(size.width()).arg(size.height()).toStdString());
}

} // namespace

BENCHMARK(BM_ConvertFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TurboFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ConvertOverFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
