#include "window/mRegion.h"

#include <gtest/gtest.h>

namespace {

using mRegion::RegionFromPicture;

// Builds a picture from rows of characters: '.' is the colour of the
// top-left corner's character, 'n' one unit away from it, any other
// character another colour.
QImage picture(const std::vector<std::string>& rows, QImage::Format format)
{
    QImage img(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), format);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const char c = rows[y][x];
            img.setPixelColor(x, y, c == '.' ? QColor(255, 0, 255) : c == 'n' ? QColor(255, 0, 254) : Qt::darkBlue);
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

// The same answer whatever the pixel format.
TEST(RegionFromPicture, OneRectanglePerRunPerRowWithExclusiveRightEdges)
{
    const std::vector<std::string> rows{
        ".##..#",
        ".....#",
        "#.n..#",
        "######",
    };
    const std::vector<QRect> expected = rects({
        {1, 0, 3, 1},
        {5, 0, 6, 1}, // reaches the right edge: right = W
        {5, 1, 6, 2}, // not joined to the run above
        {0, 2, 1, 3}, // starts at the left edge
        {2, 2, 3, 3}, // one unit away from the key is inside
        {5, 2, 6, 3},
        {0, 3, 6, 4},
    });
    for (const QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGB32, QImage::Format_ARGB32})
        EXPECT_EQ(RegionFromPicture(picture(rows, format)), expected) << format;
}

// No region: the window stays unshaped.
TEST(RegionFromPicture, AllTransparentOrEmptyPictureGivesNoRegion)
{
    EXPECT_TRUE(RegionFromPicture(picture({"...", "..."}, QImage::Format_RGB32)).empty());
    EXPECT_TRUE(RegionFromPicture(QImage()).empty());
    EXPECT_TRUE(RegionFromPicture(QImage(0, 5, QImage::Format_RGB32)).empty());
}

} // namespace
