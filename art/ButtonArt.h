#pragma once

#include <QImage>

// Button faces shared by both programs' artwork.
namespace art {

// The close button: a diagonal cross on a dark blue ground.
QImage exitNormal(QSize size);
QImage exitPressed(QSize size);
QImage exitDisabled(QSize size);

} // namespace art
