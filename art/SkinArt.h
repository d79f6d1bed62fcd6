#pragma once

#include <QImage>
#include <QSize>

// The converter window's artwork: the skin, the button faces and the small
// pictures, all drawn to fit the places of FrmMainLayout.h.
namespace art {

// The colour outside the window's outline (the skin's top-left pixel).
inline constexpr QRgb kSkinKey = 0xFFFF00FF;

// 640 x 464, opaque; everything outside the outline is kSkinKey.
QImage skin();

enum class Button { Min, Exit, Go, InPath, OutPath, About };
enum class Face { Normal, Pressed, Disabled };

// A button's picture, at its laid-out size except the close button's smaller
// one (ButtonArt.h); corners outside the button's own shape are transparent
// so the skin shows through. CmdAbout has one picture whatever the face.
QImage buttonFace(Button button, Face face);

// The two 32 x 32 decorations beside the path labels.
QImage image1();
QImage image2();

// The program's icon at any size; at 32 x 32 it uses 16 colours.
QImage windowIcon(int size);

} // namespace art
