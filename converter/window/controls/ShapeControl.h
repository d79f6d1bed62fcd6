#pragma once

#include <QColor>
#include <QWidget>

// An outline drawn round a rectangle; clicks pass through it.
class ShapeControl : public QWidget {
public:
    ShapeControl(QWidget* parent, QColor colour);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor m_colour;
};
