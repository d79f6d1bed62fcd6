#include "window/controls/WrapCheckBox.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

void WrapCheckBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect box = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    option.rect = QRect(QPoint(2, (height() - box.height()) / 2), box.size());
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, this);
    const QRect textRect = rect().adjusted(option.rect.right() + 6, 0, -2, 0);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
}
