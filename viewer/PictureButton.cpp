#include "PictureButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>

PictureButton::PictureButton(QPixmap normal, QPixmap pressed, QWidget* parent)
    : QAbstractButton(parent), m_normal(std::move(normal)), m_pressed(std::move(pressed))
{
    setFocusPolicy(Qt::TabFocus);
}

QSize PictureButton::sizeHint() const { return m_normal.deviceIndependentSize().toSize() + QSize(4, 3); }

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    const QPixmap& face = isDown() ? m_pressed : m_normal;
    QRect target(QPoint(0, 0), face.deviceIndependentSize().toSize());
    target.moveCenter(rect().center());
    painter.drawPixmap(target, face);
}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Enter || event->key() == Qt::Key_Return)
        click();
    else
        QAbstractButton::keyPressEvent(event);
}
