#pragma once

#include <QFrame>
#include <QImage>
#include <functional>

// A picture stretched to the box's own size, width and height each on its
// own (proportions are not kept), inside a thin border.
class ImageBox : public QFrame {
public:
    explicit ImageBox(QWidget* parent);
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    std::function<void()> onDoubleClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    QImage m_image;
};
