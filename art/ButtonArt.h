#pragma once

#include <QImage>

// Button faces shared by both programs' artwork.
namespace art {

// The close button: a diagonal cross on a dark blue ground. One set of
// pictures for both programs: the converter's CmdExit shows them, and the
// viewer's CmdQuit shows the normal and pressed ones the other way round.
// Each button centres the picture inside its own frame.
inline constexpr QSize kExitFaceSize{35, 24};
QImage exitNormal();
QImage exitPressed();
QImage exitDisabled();

} // namespace art
