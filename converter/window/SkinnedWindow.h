#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

// A frameless window dressed in a skin picture: the skin is its background
// and its size, and every pixel of the skin's key colour (its top-left
// pixel's) lies outside the window. A press of any mouse button on the
// background moves the window.
class SkinnedWindow : public QWidget {
public:
    SkinnedWindow();

protected:
    // The window takes the skin's size and outline. A null skin leaves the
    // window plain.
    void applySkin(const QImage& skin);
    // The same skin drawn at twice the resolution, skin@2x.bmp beside the
    // skin's own file, for screens of twice the density or more. Used only
    // when it can be read and is exactly twice the skin's size.
    void applySkin2x(const QString& skinPath);

    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    QImage m_background;   // the skin with its outside made transparent
    QImage m_background2x; // the same from skin@2x.bmp, for denser screens; may be null
    bool m_manualMove = false;
    QPoint m_moveOffset;
};
