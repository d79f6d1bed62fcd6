#pragma once

#include "window/controls/MouseLabel.h"

// A label showing a path: elided in the middle when it is too long for the
// label, the whole path in its tooltip. text() is always the whole path.
class PathLabel : public MouseLabel {
public:
    using MouseLabel::MouseLabel;
    QString shownText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
