// The window on a screen of twice the density (QT_SCALE_FACTOR=2, set
// before the application starts): the skin and the button faces come from
// the artwork drawn at 2x, device pixel for device pixel, and the window's
// shape still fits the skin exactly.
#include "TempDir.h"
#include "WindowHarness.h"
#include "window/mRegion.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

QImage artwork(const char* name)
{
    return QImage(QStringLiteral(FW_ART_DIR "/") + QLatin1String(name)).convertToFormat(QImage::Format_ARGB32);
}

// Whether each logical pixel of the window lies in a region, looked up fast.
QImage covered(const QRegion& region)
{
    QImage img(640, 464, QImage::Format_Grayscale8);
    img.fill(0);
    for (const QRect& r : region)
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::fill_n(img.scanLine(y) + r.left(), r.width(), 1);
    return img;
}

TEST(HiDpi, TheWindowShowsTheSkinAndTheButtonsDrawnAt2x)
{
    WindowHarness h;
    ASSERT_TRUE(QFile::copy(FW_ART_DIR "/skin@2x.bmp", h.programDir + "/skin@2x.bmp"));
    auto w = h.started();
    ASSERT_EQ(w->devicePixelRatioF(), 2.0);
    ASSERT_EQ(w->size(), QSize(640, 464)) << "the layout stays in logical pixels";

    const QImage skin2x = artwork("skin@2x.bmp");
    const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shot.size(), QSize(1280, 928));
    ASSERT_EQ(skin2x.size(), shot.size());

    // Where no control lies, the window shows the 2x skin's own pixels, and
    // nothing where the skin has its key colour.
    QRegion region;
    for (const QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible())
            region += child->geometry();
    const QImage controls = covered(region);
    const QRgb key = skin2x.pixel(0, 0);
    int compared = 0, wrong = 0, visibleOutside = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (controls.constScanLine(y / 2)[x / 2])
                continue;
            const QRgb art = skin2x.pixel(x, y);
            if (art == key) {
                visibleOutside += qAlpha(shot.pixel(x, y)) != 0;
                continue;
            }
            ++compared;
            wrong += shot.pixel(x, y) != art;
        }
    }
    EXPECT_GT(compared, 300000);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(visibleOutside, 0);

    // The close button's face is the 2x picture artgen writes for the viewer.
    const QImage exit2x = artwork("exit_normal@2x.bmp");
    ASSERT_EQ(exit2x.size(), QSize(70, 48));
    QRect face(QPoint(0, 0), exit2x.size() / 2);
    face.moveCenter(w->CmdExit->rect().center());
    face = QRect(face.topLeft() * 2, exit2x.size());
    const QImage exitShot = w->CmdExit->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_TRUE(exitShot.copy(face) == exit2x);
}

TEST(HiDpi, TheShapeCutFromSkinBmpFitsThe2xSkinExactly)
{
    WindowHarness h;
    auto w = h.started();
    const QImage skin1x = artwork("skin.bmp");
    const QImage skin2x = artwork("skin@2x.bmp");
    // The mask is in logical pixels; the window system scales it with the
    // window, so each logical pixel covers 2 x 2 device pixels of the 2x skin.
    EXPECT_EQ(w->mask(), mRegion::ToRegion(mRegion::RegionFromPicture(skin1x)));
    const QImage shape = covered(w->mask());
    int misfits = 0;
    for (int y = 0; y < skin2x.height(); ++y)
        for (int x = 0; x < skin2x.width(); ++x)
            misfits += (skin2x.pixel(x, y) != skin2x.pixel(0, 0)) != (shape.constScanLine(y / 2)[x / 2] != 0);
    EXPECT_EQ(misfits, 0);
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Read once, when the application starts: hence a program of its own.
    setenv("QT_SCALE_FACTOR", "2", 1);

    QTemporaryDir home;
    fwtest::usePrivateUserDirs(home.path());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
