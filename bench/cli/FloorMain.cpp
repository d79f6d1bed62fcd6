// The floor of a conversion: one process, one TurboJPEG compressor with the
// converter's settings (4:4:4, accurate DCT) and its output buffer reused,
// each JPEG written to a file. Only the encoding and the writing are timed:
// each bitmap is read into one reused buffer first (a buffer per bitmap
// would time the first touch of fresh memory instead, which a virtual
// machine makes slow). Usage: fwbench_cli_floor IN OUT QUALITY. Prints
// megapixels and seconds.
#include "core/PixelLayout.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <turbojpeg.h>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: fwbench_cli_floor IN OUT QUALITY\n");
        return 2;
    }
    const QDir in(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const int quality = std::atoi(argv[3]);
    tjhandle compressor = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long capacity = 0;
    QByteArray bitmap;
    double pixels = 0;
    std::chrono::steady_clock::duration timed{};
    int index = 0;
    for (const QString& name : in.entryList({"*.bmp"}, QDir::Files, QDir::Name)) {
        QFile f(in.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        bitmap.resize(f.size());
        if (f.read(bitmap.data(), bitmap.size()) != bitmap.size())
            return 1;

        const auto start = std::chrono::steady_clock::now();
        const auto* bytes = reinterpret_cast<const unsigned char*>(bitmap.constData());
        const int offset = qFromLittleEndian<qint32>(bytes + 10);
        const int width = qFromLittleEndian<qint32>(bytes + 18);
        const int height = qFromLittleEndian<qint32>(bytes + 22);
        unsigned long size = capacity;
        if (tjCompress2(compressor, bytes + offset, width, int(PixelLayout{width, height}.rowBytes()), height, TJPF_BGR,
                        &jpeg, &size, TJSAMP_444, quality, TJFLAG_ACCURATEDCT | TJFLAG_BOTTOMUP)
            != 0)
            return 1;
        capacity = std::max(capacity, size);
        FILE* file = std::fopen(QFile::encodeName(out.filePath(QString("floor%1.jpg").arg(index++))).constData(), "wb");
        if (!file || std::fwrite(jpeg, 1, size, file) != size || std::fclose(file) != 0)
            return 1;
        timed += std::chrono::steady_clock::now() - start;
        pixels += double(width) * height;
    }
    tjFree(jpeg);
    tjDestroy(compressor);
    std::printf("%.3f %.4f\n", pixels / 1e6, std::chrono::duration<double>(timed).count());
    return 0;
}
