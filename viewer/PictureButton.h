#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A push button without a caption whose face is a picture, with a second
// picture shown while the button is held down. Pictures of a device pixel
// ratio above 1 are shown at their logical size.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(QPixmap normal, QPixmap pressed, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    const QPixmap& normalPicture() const { return m_normal; }
    const QPixmap& pressedPicture() const { return m_pressed; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override; // Enter works it as Space does

private:
    QPixmap m_normal;
    QPixmap m_pressed;
};
