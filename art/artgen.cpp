// Draws every picture of the two programs into one output directory:
//   skin.bmp                  the converter window's skin
//   exit_*.bmp                the close button faces (the viewer embeds them)
//   icons/hicolor/...         the program's icon for the desktop menu
//   samples/*.bmp             game-like screenshots for trying the converter
#include "ButtonArt.h"
#include "SampleArt.h"
#include "SkinArt.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

namespace {

bool save(const QDir& dir, const QString& name, const QImage& img, const char* format = "BMP")
{
    const QString path = dir.filePath(name);
    if (QDir().mkpath(QFileInfo(path).path()) && img.save(path, format))
        return true;
    std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
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

    // The viewer's quit button embeds the close button's pictures.
    bool ok = save(out, "exit_normal.bmp", art::exitNormal())
              && save(out, "exit_pressed.bmp", art::exitPressed())
              && save(out, "exit_disabled.bmp", art::exitDisabled());

    ok = ok && save(out, "skin.bmp", art::skin().convertToFormat(QImage::Format_RGB888));

    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString name = QStringLiteral("icons/hicolor/%1x%1/apps/framewright.png").arg(size);
        ok = ok && save(out, name, art::windowIcon(size), "PNG");
    }

    for (const art::SampleShot& shot : art::sampleShots())
        ok = ok && save(out, "samples/" + shot.fileName, art::sampleScreenshot(shot));
    return ok ? 0 : 1;
}
