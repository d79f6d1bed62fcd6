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

// The same answer whatever the pixel format.
TEST(RegionFromPicture, OneRectanglePerRunPerRowAndNoneForAPictureWithoutAny)
{
    const std::vector<std::string> rows{
        ".##..#",
        ".....#",
        "#.n..#",
        "######",
    };
    // Each run of one row is one rectangle, one pixel high.
    const std::vector<QRect> expected{
        QRect(1, 0, 2, 1), QRect(5, 0, 1, 1), // reaches the right edge
        QRect(5, 1, 1, 1),                    // not joined to the run above
        QRect(0, 2, 1, 1),                    // starts at the left edge
        QRect(2, 2, 1, 1),                    // one unit away from the key is inside
        QRect(5, 2, 1, 1), QRect(0, 3, 6, 1),
    };
    for (const QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGB32, QImage::Format_ARGB32})
        EXPECT_EQ(RegionFromPicture(picture(rows, format)), expected) << format;

    // No region, and the window stays unshaped, for a picture without any.
    EXPECT_TRUE(RegionFromPicture(picture({"...", "..."}, QImage::Format_RGB32)).empty());
    EXPECT_TRUE(RegionFromPicture(QImage()).empty());
    EXPECT_TRUE(RegionFromPicture(QImage(0, 5, QImage::Format_RGB32)).empty());
}

} // namespace
