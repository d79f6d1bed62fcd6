// Draws every picture of the two programs into one output directory:
//   skin.bmp, skin@2x.bmp     the converter window's skin, at 1x and 2x
//   exit_*.bmp, exit_*@Nx.bmp the close button faces at 1x, 2x and 3x (the
//                             viewer embeds them)
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
    bool ok = true;
    for (int scale : {1, 2, 3}) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        ok = ok && save(out, "exit_normal" + suffix + ".bmp", art::exitNormal(scale))
             && save(out, "exit_pressed" + suffix + ".bmp", art::exitPressed(scale))
             && save(out, "exit_disabled" + suffix + ".bmp", art::exitDisabled(scale));
    }

    // The window shows skin@2x.bmp on screens of twice the density or more.
    for (int scale : {1, 2}) {
        const QString name = scale == 1 ? QStringLiteral("skin.bmp") : QStringLiteral("skin@2x.bmp");
        ok = ok && save(out, name, art::skin(scale).convertToFormat(QImage::Format_RGB888));
    }

    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString name = QStringLiteral("icons/hicolor/%1x%1/apps/framewright.png").arg(size);
        ok = ok && save(out, name, art::windowIcon(size), "PNG");
    }

    for (const art::SampleShot& shot : art::sampleShots())
        ok = ok && save(out, "samples/" + shot.fileName, art::sampleScreenshot(shot));
    return ok ? 0 : 1;
}
