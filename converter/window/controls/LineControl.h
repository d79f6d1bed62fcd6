#pragma once

#include <QColor>
#include <QWidget>

// A horizontal line from x1 to x2 at height y (window units, twips), drawn
// with a round pen of the given thickness in pixels. Clicks pass through it.
class LineControl : public QWidget {
public:
    LineControl(QWidget* parent, QColor colour, int thicknessPx, float x1, float x2, int y);
    float x1() const { return m_x1; }
    float x2() const { return m_x2; }
    void setX2(float x2);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void place();
    QColor m_colour;
    int m_thickness;
    float m_x1, m_x2;
    int m_y;
};
