#pragma once

#include "window/controls/ScaledPicture.h"

#include <QAbstractButton>

// A button that shows only pictures: one for its normal state, one while it
// is pressed, and one while it is disabled (a dimmed normal picture when it
// has none of its own), each at the scale of the screen it is on.
class PictureButton : public QAbstractButton {
public:
    PictureButton(QWidget* parent, ScaledPicture normal, ScaledPicture pressed, ScaledPicture disabled = {});
    QSize sizeHint() const override { return m_normal.at(1).size(); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ScaledPicture m_normal, m_pressed, m_disabled;
};
