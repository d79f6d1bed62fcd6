// Writes the command-line benchmark's screenshots: game scenes at the four
// usual sizes, as the game writes them (uncompressed 24-bit bitmaps).
// Usage: fwbench_cli_corpus DIR PER_SIZE. Prints the total in megapixels.
#include "GameScene.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: fwbench_cli_corpus DIR PER_SIZE\n");
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
            const QString name = QString("%1%2.bmp").arg(s.map).arg(i, 4, 10, QChar('0'));
            // RGB888 is written as 24 bits per pixel, uncompressed, bottom-up.
            if (!renderGameScene(s.size, seed).convertToFormat(QImage::Format_RGB888).save(dir.filePath(name), "BMP")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(dir.filePath(name)));
                return 1;
            }
            pixels += double(s.size.width()) * s.size.height();
        }
    }
    std::printf("%.3f\n", pixels / 1e6);
    return 0;
}
