#pragma once

#include <QAccessibleWidget>

class MouseLabel;

// A label that opens a web page when clicked, told as a link to press.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(MouseLabel* label);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;
};
