#pragma once

#include <QImage>

// Button faces shared by both programs' artwork.
namespace art {

// Every picture is drawn at a scale of 1, 2 or 3 device pixels to a logical
// pixel, for screens of a higher density: drawn anew, never enlarged, so
// that it stays sharp. The scale that suits a screen's device pixel ratio.
inline int scaleFor(qreal devicePixelRatio) { return devicePixelRatio >= 2.5 ? 3 : devicePixelRatio >= 1.5 ? 2 : 1; }

// An image of a logical size at a scale: a painter on it works in logical
// pixels, and Qt shows it at its logical size.
inline QImage canvas(QSize logical, int scale, QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    QImage img(logical * scale, format);
    img.setDevicePixelRatio(scale);
    return img;
}

// The close button: a diagonal cross on a dark blue ground. One set of
// pictures for both programs: the converter's CmdExit shows them, and the
// viewer's CmdQuit shows the normal and pressed ones the other way round.
// Each button centres the picture inside its own frame.
inline constexpr QSize kExitFaceSize{35, 24};
QImage exitNormal(int scale = 1);
QImage exitPressed(int scale = 1);
QImage exitDisabled(int scale = 1);

} // namespace art
