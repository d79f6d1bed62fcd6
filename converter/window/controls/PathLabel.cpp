#include "window/controls/PathLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

QString PathLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

bool PathLabel::event(QEvent* event)
{
    // The tooltip follows the path whichever way the path was set.
    if (event->type() == QEvent::ToolTip)
        setToolTip(text());
    return MouseLabel::event(event);
}

void PathLabel::paintEvent(QPaintEvent* event)
{
    const QString shown = shownText();
    if (shown == text()) {
        MouseLabel::paintEvent(event); // a path that fits looks as any label
        return;
    }
    QPainter p(this);
    style()->drawItemText(&p, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shown, foregroundRole());
}
