// The window on a screen of twice the density (QT_SCALE_FACTOR=2, which Qt
// reads once as the application starts, so ctest sets it for this program):
// the skin and the button faces come from the artwork drawn at 2x, device
// pixel for device pixel, and the window's shape still fits the skin exactly.
#include "WindowHarness.h"
#include "window/mRegion.h"

#include <QFile>
#include <QTransform>
#include <gtest/gtest.h>

namespace {

QImage artwork(const char* name)
{
    return QImage(QStringLiteral(FW_ART_DIR "/") + QLatin1String(name)).convertToFormat(QImage::Format_ARGB32);
}

TEST(HiDpi, TheWindowShowsTheSkinAndTheButtonsDrawnAt2xWithinTheOutlineOfSkinBmp)
{
    WindowHarness h;
    ASSERT_TRUE(QFile::copy(FW_ART_DIR "/skin@2x.bmp", h.programDir + "/skin@2x.bmp"));
    auto w = h.started();
    const WindowControls c(*w);
    ASSERT_EQ(w->devicePixelRatioF(), 2.0);
    ASSERT_EQ(w->size(), QSize(640, 464)) << "the layout stays in logical pixels";

    // The close button's face is the 2x picture artgen writes for the viewer.
    const QImage exit2x = artwork("exit_normal@2x.bmp");
    ASSERT_EQ(exit2x.size(), QSize(70, 48));
    QRect face(QPoint(0, 0), exit2x.size() / 2);
    face.moveCenter(c.CmdExit->rect().center());
    const QImage exitShot = c.CmdExit->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_TRUE(exitShot.copy(QRect(face.topLeft() * 2, exit2x.size())) == exit2x);

    // Beneath its controls the window is the 2x skin's own pixels, and
    // nothing where the skin has its key colour.
    const QImage skin2x = artwork("skin@2x.bmp");
    for (QWidget* control : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->hide();
    const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb key = skin2x.pixel(0, 0);
    int wrong = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            wrong += shot.pixel(x, y) != (skin2x.pixel(x, y) == key ? 0 : skin2x.pixel(x, y));
    EXPECT_EQ(wrong, 0);
    // The shape is in logical pixels; the window system scales it with the
    // window, so each logical pixel covers 2 x 2 device pixels of the 2x skin.
    const QRegion shape2x = QTransform::fromScale(2, 2).map(w->mask());
    EXPECT_TRUE(shape2x.xored(mRegion::ToRegion(mRegion::RegionFromPicture(skin2x))).isEmpty());
}

} // namespace
