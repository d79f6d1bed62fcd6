// The floor of a conversion: every bitmap already in memory, one process,
// one TurboJPEG compressor with the converter's settings (4:4:4, accurate
// DCT), each JPEG written to a file. Usage: fwbench_cli_floor IN OUT QUALITY.
// Prints megapixels and seconds.
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <turbojpeg.h>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: fwbench_cli_floor IN OUT QUALITY\n");
        return 2;
    }
    const QDir in(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const int quality = std::atoi(argv[3]);
    std::vector<QByteArray> bitmaps;
    for (const QString& name : in.entryList({"*.bmp"}, QDir::Files, QDir::Name)) {
        QFile f(in.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        bitmaps.push_back(f.readAll());
    }

    tjhandle compressor = tjInitCompress();
    double pixels = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < bitmaps.size(); ++i) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(bitmaps[i].constData());
        const int offset = qFromLittleEndian<qint32>(bytes + 10);
        const int width = qFromLittleEndian<qint32>(bytes + 18);
        const int height = qFromLittleEndian<qint32>(bytes + 22);
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        if (tjCompress2(compressor, bytes + offset, width, (width * 3 + 3) & ~3, height, TJPF_BGR, &jpeg, &size,
                        TJSAMP_444, quality, TJFLAG_ACCURATEDCT | TJFLAG_BOTTOMUP)
            != 0)
            return 1;
        FILE* file = std::fopen(QFile::encodeName(out.filePath(QString("floor%1.jpg").arg(i))).constData(), "wb");
        if (!file || std::fwrite(jpeg, 1, size, file) != size || std::fclose(file) != 0)
            return 1;
        tjFree(jpeg);
        pixels += double(width) * height;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    tjDestroy(compressor);
    std::printf("%.3f %.4f\n", pixels / 1e6, seconds);
    return 0;
}
