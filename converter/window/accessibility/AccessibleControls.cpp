#include "window/accessibility/AccessibleControls.h"

#include "window/QualitySlider.h"
#include "window/accessibility/LinkAccessible.h"
#include "window/accessibility/QualitySliderAccessible.h"
#include "window/controls/MouseLabel.h"

#include <QAccessible>

namespace {

QAccessibleInterface* accessibleControl(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (QualitySlider::of(widget))
        return new QualitySliderAccessible(widget);
    if (auto* label = dynamic_cast<MouseLabel*>(widget); label && label->onClick)
        return new LinkAccessible(label);
    return nullptr;
}

} // namespace

void InstallAccessibleControls()
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleControl), true);
    Q_UNUSED(factoryInstalled);
}

void ForgetAccessible(QWidget* widget)
{
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(widget)));
}
