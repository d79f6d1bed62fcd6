#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <vector>

// The window's outline, cut from its skin picture.
namespace mRegion {

// Every pixel whose colour differs from the top-left pixel's is inside. The
// result holds one rectangle, one pixel high, per horizontal run of inside
// pixels, rows top to bottom and runs left to right. Empty when no pixel is
// inside (then the window keeps its full rectangle).
std::vector<QRect> RegionFromPicture(const QImage& picture);

// The rectangles as one region for the window system (an empty region for
// an empty set).
QRegion ToRegion(const std::vector<QRect>& rects);

} // namespace mRegion
