#include "window/accessibility/LinkAccessible.h"

#include "window/controls/MouseLabel.h"

LinkAccessible::LinkAccessible(MouseLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

QString LinkAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return static_cast<QLabel*>(widget())->text();
    return QAccessibleWidget::text(t);
}

QStringList LinkAccessible::actionNames() const
{
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
}

void LinkAccessible::doAction(const QString& action)
{
    auto* label = static_cast<MouseLabel*>(widget());
    if (action == pressAction() && label->onClick)
        label->onClick();
    else
        QAccessibleWidget::doAction(action);
}
