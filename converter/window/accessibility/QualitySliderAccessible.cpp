#include "window/accessibility/QualitySliderAccessible.h"

#include "window/QualitySlider.h"

QualitySliderAccessible::QualitySliderAccessible(QWidget* track) : QAccessibleWidget(track, QAccessible::Slider) {}

void* QualitySliderAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString QualitySliderAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value && slider())
        return slider()->caption();
    return QAccessibleWidget::text(t);
}

QVariant QualitySliderAccessible::currentValue() const { return slider() ? slider()->quality() : QVariant(); }

void QualitySliderAccessible::setCurrentValue(const QVariant& value)
{
    if (slider())
        slider()->moveQuality(value.toInt());
}

QualitySlider* QualitySliderAccessible::slider() const { return QualitySlider::of(widget()); }
