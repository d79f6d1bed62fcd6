// The quality slider: the bar LblFore over the track LblBack, and the
// caption LblQuality, whose number is the quality itself.
#include "window/FrmMain.h"

#include "FrmMainLayout.h"
#include "engine/ConversionRun.h"
#include "core/NumberText.h"

#include <QAccessible>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

using layout::kTwipsPerPixel;

void FrmMain::SetQuality(int value)
{
    const double twips = LblBack->width() * kTwipsPerPixel * static_cast<double>(value) / 100.0;
    // The window system keeps widths in whole pixels; that width counts.
    LblFore->resize(static_cast<int>(std::lround(twips / kTwipsPerPixel)), LblFore->height());
    refreshQualityCaption();
}

void FrmMain::DragQuality(int button, float x)
{
    if (button != 0) {
        const float track = static_cast<float>(LblBack->width() * kTwipsPerPixel);
        if (x >= 0 && x <= track)
            LblFore->resize(static_cast<int>(std::lround(x / kTwipsPerPixel)), LblFore->height());
    }
    refreshQualityCaption();
}

void FrmMain::refreshQualityCaption()
{
    const double ratio = static_cast<double>(LblFore->width()) / LblBack->width() * 100.0;
    const auto value = static_cast<qint16>(std::nearbyint(ratio)); // halves to even
    LblQuality->setText(QStringLiteral("%1 %").arg(value, 2, 10, QLatin1Char('0')));
    QAccessibleValueChangeEvent changed(LblBack, static_cast<int>(value));
    QAccessible::updateAccessibility(&changed);
}

int FrmMain::quality() const { return NumberAtStart(LblQuality->text()); }

void FrmMain::moveQuality(int value)
{
    if (ControlsEnabled)
        SetQuality(std::clamp(value, 0, 100));
}

void FrmMain::sliderMouse(QMouseEvent* event)
{
    if (!ControlsEnabled)
        return;
    // A press or a release names its button; a move reports the buttons held.
    const int button = event->type() == QEvent::MouseMove ? static_cast<int>(event->buttons())
                                                          : static_cast<int>(event->button());
    DragQuality(button, static_cast<float>(event->position().x() * kTwipsPerPixel));
}
