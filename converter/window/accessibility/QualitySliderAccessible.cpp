#include "window/accessibility/QualitySliderAccessible.h"

#include "window/FrmMain.h"

QualitySliderAccessible::QualitySliderAccessible(QWidget* track) : QAccessibleWidget(track, QAccessible::Slider) {}

void* QualitySliderAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString QualitySliderAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value && form())
        return form()->LblQuality->text();
    return QAccessibleWidget::text(t);
}

QVariant QualitySliderAccessible::currentValue() const { return form() ? form()->quality() : QVariant(); }

void QualitySliderAccessible::setCurrentValue(const QVariant& value)
{
    if (form())
        form()->moveQuality(value.toInt());
}

FrmMain* QualitySliderAccessible::form() const { return dynamic_cast<FrmMain*>(widget()->window()); }
