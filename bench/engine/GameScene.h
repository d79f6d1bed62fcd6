#pragma once

#include <QImage>

// A game-like screenshot for measurements: a textured room in perspective
// under a cloudy sky, and the orange HUD of a first-person shooter. Noisy
// textures and hard-edged coloured text are what real screenshots hold.
QImage renderGameScene(QSize size, unsigned seed);
