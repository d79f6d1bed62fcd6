#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

// Game-like screenshots with a HUD, for trying the converter without the game.
namespace art {

struct SampleShot {
    QString fileName; // as the game names its snapshots: map name + 4 digits
    QSize size;
    int scene; // which of the scenes is drawn
};

std::vector<SampleShot> sampleShots();

QImage sampleScreenshot(const SampleShot& shot);

} // namespace art
