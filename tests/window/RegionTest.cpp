#include "window/mRegion.h"

#include "FrmMainLayout.h"
#include "SkinArt.h"

#include <gtest/gtest.h>

namespace {

using mRegion::RegionFromPicture;

// Builds a picture from rows of characters: '.' is the colour of the
// top-left corner's character, any other character another colour.
QImage picture(const std::vector<std::string>& rows, QImage::Format format = QImage::Format_RGB888)
{
    const int h = static_cast<int>(rows.size());
    const int w = h ? static_cast<int>(rows[0].size()) : 0;
    QImage img(w, h, format);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const char c = rows[y][x];
            img.setPixelColor(x, y, c == '.' ? QColor(255, 0, 255) : c == 'n' ? QColor(255, 0, 254)
                                                                             : QColor(20, 30, 90));
        }
    }
    return img;
}

std::vector<QRect> rects(std::initializer_list<std::array<int, 4>> ltrb)
{
    std::vector<QRect> out;
    for (const auto& r : ltrb)
        out.emplace_back(QPoint(r[0], r[1]), QPoint(r[2] - 1, r[3] - 1));
    return out;
}

TEST(RegionFromPicture, OneRectanglePerRunPerRowWithExclusiveRightEdges)
{
    const QImage img = picture({
        ".##..#",
        ".....#",
        "#.n..#",
        "######",
    });
    EXPECT_EQ(RegionFromPicture(img), rects({
                                          {1, 0, 3, 1},
                                          {5, 0, 6, 1}, // reaches the right edge: right = W
                                          {5, 1, 6, 2}, // not joined to the run above
                                          {0, 2, 1, 3}, // starts at the left edge
                                          {2, 2, 3, 3}, // one unit away from the key is inside
                                          {5, 2, 6, 3},
                                          {0, 3, 6, 4},
                                      }));
}

TEST(RegionFromPicture, AllTransparentOrEmptyPictureGivesNoRegion)
{
    EXPECT_TRUE(RegionFromPicture(picture({"...", "..."})).empty());
    EXPECT_TRUE(RegionFromPicture(QImage()).empty());
    EXPECT_TRUE(RegionFromPicture(QImage(0, 5, QImage::Format_RGB32)).empty());
    EXPECT_TRUE(mRegion::ToRegion({}).isEmpty());
}

TEST(RegionFromPicture, SameAnswerWhateverThePixelFormat)
{
    const std::vector<std::string> rows{"..#.", "#..#"};
    const auto expected = RegionFromPicture(picture(rows));
    EXPECT_EQ(RegionFromPicture(picture(rows, QImage::Format_RGB32)), expected);
    EXPECT_EQ(RegionFromPicture(picture(rows, QImage::Format_ARGB32)), expected);
}

TEST(RegionFromPicture, TheSkinIsShapedAndItsRegionCoversExactlyTheInside)
{
    const QImage skin = art::skin();
    ASSERT_EQ(skin.pixel(0, 0), art::kSkinKey);
    const QRegion region = mRegion::ToRegion(RegionFromPicture(skin));
    qint64 inside = 0;
    for (int y = 0; y < skin.height(); ++y)
        for (int x = 0; x < skin.width(); ++x) {
            const bool isInside = skin.pixel(x, y) != art::kSkinKey;
            inside += isInside;
            ASSERT_EQ(region.contains(QPoint(x, y)), isInside) << x << "," << y;
        }
    // Shaped: clearly less than the full rectangle, clearly more than half.
    EXPECT_LT(inside, qint64{skin.width()} * skin.height() * 99 / 100);
    EXPECT_GT(inside, qint64{skin.width()} * skin.height() * 80 / 100);
}

TEST(RegionFromPicture, EveryControlSitsInsideTheSkinsOutline)
{
    const QRegion region = mRegion::ToRegion(RegionFromPicture(art::skin()));
    for (const layout::TwipRect& r :
         {layout::CmdMin, layout::CmdExit, layout::CmdGo, layout::chkDel, layout::CmdOutPath,
          layout::CmdInPath, layout::FileList, layout::Lstinfo, layout::CmdAbout, layout::LblURLQuenk,
          layout::lblURLSponso, layout::LblDest, layout::LblSrc, layout::LblBack, layout::Image1,
          layout::Image2, layout::ImgPreview, layout::lblOutPath, layout::lblInPath, layout::SFrame,
          layout::lbltutqual, layout::LblQuality}) {
        EXPECT_EQ(region.intersected(r.pixels()), QRegion(r.pixels())) << r.left << "," << r.top;
    }
}

} // namespace
