// Draws every picture of the two programs into one output directory.
#include "ButtonArt.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

namespace {

bool save(const QDir& dir, const QString& name, const QImage& img)
{
    if (img.save(dir.filePath(name), "BMP"))
        return true;
    std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(dir.filePath(name)));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <output directory>\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath("."))
        return 1;

    // The close button of the converter (39 x 25 pixels); the viewer's quit
    // button shows the same two faces with their roles exchanged.
    const QSize exitSize(35, 24);
    bool ok = save(out, "exit_normal.bmp", art::exitNormal(exitSize))
              && save(out, "exit_pressed.bmp", art::exitPressed(exitSize))
              && save(out, "exit_disabled.bmp", art::exitDisabled(exitSize));
    return ok ? 0 : 1;
}
