// The converter's path from a screenshot on disk to a JPEG on disk, against
// the floor of what libjpeg-turbo needs for the same pixels: the goal is to
// stay within 1.15 times the floor at every size.
#include "GameScene.h"
#include "Picture.h"
#include "cDIBSection.h"
#include "mIntelJPEGLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
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

QSize sizeOf(const benchmark::State& state)
{
    return kSizes[state.range(0)];
}

void BM_ConvertFile(benchmark::State& state)
{
    const QString bmp = bitmapFor(sizeOf(state));
    const QString jpg = workDir().filePath("ours.JPG");
    cDIBSection image;
    for (auto _ : state) {
        // The run writes only under free names: keep this one free.
        state.PauseTiming();
        QFile::remove(jpg);
        state.ResumeTiming();

        // The conversion run's own sequence of calls.
        StdPicture picture = LoadPicture(bmp);
        image.CreateFromPicture(std::move(picture));
        SaveToJPG(image, jpg, kQuality);
        image.ClearUp();
        picture.Release();
    }
    state.SetLabel(QString("%1x%2").arg(sizeOf(state).width()).arg(sizeOf(state).height()).toStdString());
}

void BM_TurboFloor(benchmark::State& state)
{
    const QString bmp = bitmapFor(sizeOf(state));
    const QString jpg = workDir().filePath("floor.JPG");
    QFile f(bmp);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    const int w = sizeOf(state).width();
    const int h = sizeOf(state).height();
    const auto* pixels = reinterpret_cast<const unsigned char*>(bytes.constData()) + 54;
    const int pitch = (w * 3 + 3) & ~3;
    tjhandle compressor = tjInitCompress();
    const QByteArray name = QFile::encodeName(jpg);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(jpg);
        state.ResumeTiming();

        // The same encoder settings as the JPEG layer's defaults.
        unsigned char* out = nullptr;
        unsigned long size = 0;
        tjCompress2(compressor, pixels, w, pitch, h, TJPF_BGR, &out, &size, TJSAMP_444, kQuality, TJFLAG_BOTTOMUP);
        FILE* file = std::fopen(name.constData(), "wb");
        std::fwrite(out, 1, size, file);
        std::fclose(file);
        tjFree(out);
    }
    tjDestroy(compressor);
    state.SetLabel(QString("%1x%2").arg(w).arg(h).toStdString());
}

} // namespace

BENCHMARK(BM_ConvertFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TurboFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);
