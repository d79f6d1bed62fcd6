#pragma once

#include <QImage>
#include <array>
#include <functional>

// One picture at the scales of the artwork (1x, 2x, 3x), each drawn by the
// artwork's own code the first time a screen of that density shows it.
class ScaledPicture {
public:
    using Draw = std::function<QImage(int scale)>;
    ScaledPicture() = default;
    explicit ScaledPicture(Draw draw) : m_draw(std::move(draw)) {}
    bool isNull() const { return !m_draw; }
    // The picture for a device pixel ratio, with that scale as its own ratio.
    const QImage& at(qreal devicePixelRatio) const;

private:
    Draw m_draw;
    mutable std::array<QImage, 3> m_drawn;
};
