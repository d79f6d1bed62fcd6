// Writes the command-line benchmark's screenshots as the game writes them
// (uncompressed 24-bit bitmaps):
//   fwbench_cli_corpus DIR PER_SIZE         game scenes at the four usual sizes
//   fwbench_cli_corpus --movie DIR FRAMES   a recorded movie: movie0000.bmp
//       on, 1024 x 768, each name a hard link to one of a few scenes, so
//       that 10,000 frames take 19 MB of disk, not 24 GB
// Prints the total in megapixels.
#include "GameScene.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kMovieScenes = 8;

bool save(const QImage& image, const QString& path)
{
    // RGB888 is written as 24 bits per pixel, uncompressed, bottom-up.
    if (image.convertToFormat(QImage::Format_RGB888).save(path, "BMP"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

int writeMovie(const QDir& dir, int frames)
{
    for (int i = 0; i < frames; ++i) {
        const QString name = dir.filePath(QString("movie%1.bmp").arg(i, 4, 10, QChar('0')));
        if (i < kMovieScenes) {
            if (!save(renderGameScene({1024, 768}, unsigned(i + 1)), name))
                return 1;
        } else if (::link(
                       QFile::encodeName(dir.filePath(QString("movie%1.bmp").arg(i % kMovieScenes, 4, 10, QChar('0'))))
                           .constData(),
                       QFile::encodeName(name).constData())
                   != 0) {
            std::perror(qPrintable(name));
            return 1;
        }
    }
    std::printf("%.3f\n", frames * 1024.0 * 768 / 1e6);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--movie") == 0)
        return writeMovie(QDir(QString::fromLocal8Bit(argv[2])), std::atoi(argv[3]));
    if (argc != 3) {
        std::fprintf(stderr, "usage: fwbench_cli_corpus DIR PER_SIZE | --movie DIR FRAMES\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const int perSize = std::atoi(argv[2]);
    const struct {
        const char* map;
        QSize size;
    } sizes[] = {{"c1a0", {640, 480}}, {"c2a1", {800, 600}}, {"c3a2", {1024, 768}}, {"c4a3", {1920, 1080}}};
    double pixels = 0;
    unsigned seed = 1;
    for (const auto& s : sizes) {
        for (int i = 0; i < perSize; ++i, ++seed) {
            if (!save(renderGameScene(s.size, seed),
                      dir.filePath(QString("%1%2.bmp").arg(s.map).arg(i, 4, 10, QChar('0')))))
                return 1;
            pixels += double(s.size.width()) * s.size.height();
        }
    }
    std::printf("%.3f\n", pixels / 1e6);
    return 0;
}
