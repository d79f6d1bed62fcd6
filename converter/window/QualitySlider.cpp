#include "window/QualitySlider.h"

#include "FrmMainLayout.h"
#include "core/NumberText.h"
#include "window/ControlLook.h"
#include "window/KeyFilter.h"
#include "window/controls/MouseLabel.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

using layout::kTwipsPerPixel;

QualitySlider::QualitySlider(QWidget* window, std::function<bool()> live) : QObject(window), m_live(std::move(live))
{
    LblBack = look::label(new MouseLabel(window), layout::LblBack, look::formFont(8.25));
    LblBack->setAutoFillBackground(true);
    look::colour(LblBack, QPalette::Window, Qt::black);
    LblFore = look::label(new MouseLabel(window), layout::LblFore, look::formFont(8.25));
    LblFore->setAutoFillBackground(true);
    look::colour(LblFore, QPalette::Window, look::kLightBlue);
    LblFore->setToolTip(QStringLiteral("Select the JPEG's quality"));
    for (MouseLabel* l : {LblBack, LblFore}) {
        l->setMouseTracking(true); // moves without a button refresh the caption too
        l->onMouse = [this](QMouseEvent* e) { mouse(e); };
    }
    lbltutqual =
        look::label(new QLabel(QStringLiteral("Quality"), window), layout::lbltutqual, look::formFont(12, true, true));
    LblQuality = look::label(new QLabel(QStringLiteral("100 %"), window), layout::LblQuality, look::formFont(12, true));

    LblBack->setObjectName(QStringLiteral("LblBack"));
    LblFore->setObjectName(QStringLiteral("LblFore"));
    lbltutqual->setObjectName(QStringLiteral("lbltutqual"));
    LblQuality->setObjectName(QStringLiteral("LblQuality"));
    LblBack->setAccessibleName(QStringLiteral("JPEG quality"));
    LblBack->setAccessibleDescription(
        QStringLiteral("Arrows move it by 1, Page Up and Page Down by 10, Home and End go to 0 and 100"));
    LblQuality->setAccessibleDescription(QStringLiteral("The JPEG quality in per cent"));

    // Like the picture buttons, the track takes the focus by the keyboard
    // only: a click leaves it where it was.
    LblBack->setFocusPolicy(Qt::TabFocus);
    onKeyPress(LblBack, [this](const QKeyEvent& e) { return key(e.key()); });

    // The caption starts at "100 %", which is the quality until something
    // sets another; the bar is drawn to say the same, not at its laid-out
    // width, which would show about 40 %.
    LblFore->resize(LblBack->width(), LblFore->height());
}

QualitySlider* QualitySlider::of(const QWidget* track)
{
    if (!track || !track->parent())
        return nullptr;
    for (QualitySlider* slider : track->parent()->findChildren<QualitySlider*>(Qt::FindDirectChildrenOnly)) {
        if (slider->LblBack == track)
            return slider;
    }
    return nullptr;
}

void QualitySlider::SetQuality(int value)
{
    const double twips = LblBack->width() * kTwipsPerPixel * static_cast<double>(value) / 100.0;
    // The window system keeps widths in whole pixels; that width counts.
    LblFore->resize(static_cast<int>(std::lround(twips / kTwipsPerPixel)), LblFore->height());
    refreshQualityCaption();
}

void QualitySlider::DragQuality(int button, float x)
{
    if (button != 0) {
        const float track = static_cast<float>(LblBack->width() * kTwipsPerPixel);
        if (x >= 0 && x <= track)
            LblFore->resize(static_cast<int>(std::lround(x / kTwipsPerPixel)), LblFore->height());
    }
    refreshQualityCaption();
}

void QualitySlider::refreshQualityCaption()
{
    const double ratio = static_cast<double>(LblFore->width()) / LblBack->width() * 100.0;
    const auto value = static_cast<qint16>(std::nearbyint(ratio)); // halves to even
    LblQuality->setText(QStringLiteral("%1 %").arg(value, 2, 10, QLatin1Char('0')));
    QAccessibleValueChangeEvent changed(LblBack, static_cast<int>(value));
    QAccessible::updateAccessibility(&changed);
}

int QualitySlider::quality() const { return NumberAtStart(LblQuality->text()); }

QString QualitySlider::caption() const { return LblQuality->text(); }

void QualitySlider::moveQuality(int value)
{
    if (m_live())
        SetQuality(std::clamp(value, 0, 100));
}

QWidget* QualitySlider::track() const { return LblBack; }

void QualitySlider::mouse(QMouseEvent* event)
{
    if (!m_live())
        return;
    // A press or a release names its button; a move reports the buttons held.
    const int button =
        event->type() == QEvent::MouseMove ? static_cast<int>(event->buttons()) : static_cast<int>(event->button());
    DragQuality(button, static_cast<float>(event->position().x() * kTwipsPerPixel));
}

bool QualitySlider::key(int key)
{
    const int now = quality();
    switch (key) {
    case Qt::Key_Left: moveQuality(now - 1); return true;
    case Qt::Key_Right: moveQuality(now + 1); return true;
    case Qt::Key_PageDown: moveQuality(now - 10); return true;
    case Qt::Key_PageUp: moveQuality(now + 10); return true;
    case Qt::Key_Home: moveQuality(0); return true;
    case Qt::Key_End: moveQuality(100); return true;
    default: return false;
    }
}
