#pragma once

#include <QAccessibleWidget>

class QualitySlider;

// The track of the quality slider, told as a slider whose value is the
// quality, that is the number of LblQuality's caption.
class QualitySliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit QualitySliderAccessible(QWidget* track);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QualitySlider* slider() const;
};
