#include "window/mRegion.h"

namespace mRegion {

std::vector<QRect> RegionFromPicture(const QImage& picture)
{
    std::vector<QRect> rects;
    const int width = picture.width();
    const int height = picture.height();
    if (width <= 0 || height <= 0)
        return rects;

    // Colours compared in full, as the picture holds them; the one format
    // conversion makes every source format read the same way.
    const QImage img = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = img.pixel(0, 0);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int start = 0;
        bool inRun = false;
        for (int x = 0; x < width; ++x) {
            if (row[x] == transparent) {
                if (inRun)
                    rects.emplace_back(QPoint(start, y), QPoint(x - 1, y));
                inRun = false;
            } else if (!inRun) {
                start = x;
                inRun = true;
            }
        }
        if (inRun)
            rects.emplace_back(QPoint(start, y), QPoint(width - 1, y));
    }
    return rects;
}

QRegion ToRegion(const std::vector<QRect>& rects)
{
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

} // namespace mRegion
