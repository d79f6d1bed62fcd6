#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <array>
#include <functional>

// The kinds of control the converter's window is built from, where Qt's own
// widgets do not already look and behave as the window needs.

// One picture at the scales of the artwork (1x, 2x, 3x), each drawn by the
// artwork's own code the first time a screen of that density shows it.
class ScaledPicture {
public:
    using Draw = std::function<QImage(int scale)>;
    ScaledPicture() = default;
    explicit ScaledPicture(Draw draw) : m_draw(std::move(draw)) {}
    bool isNull() const { return !m_draw; }
    // The picture for a device pixel ratio, with that scale as its own ratio.
    const QImage& at(qreal devicePixelRatio) const;

private:
    Draw m_draw;
    mutable std::array<QImage, 3> m_drawn;
};

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

// An outline drawn round a rectangle; clicks pass through it.
class ShapeControl : public QWidget {
public:
    ShapeControl(QWidget* parent, QColor colour);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor m_colour;
};

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

// A label that hands its mouse events to the window. Events it has no
// handler for go on to the window below (which drags itself).
class MouseLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void(QMouseEvent*)> onMouse; // press, move and release
    std::function<void()> onClick;
    std::function<void()> onDoubleClick;

protected:
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    bool m_pressed = false;
};

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

// A check box whose caption wraps onto several lines inside its frame.
class WrapCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent*) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// The names of the files of one directory that match "*.bmp" (whatever the
// case of the extension), sorted by name without regard to case.
class FileListBox : public QListWidget {
public:
    explicit FileListBox(QWidget* parent);
    // Points the list at a directory and reads it; false (the list keeps
    // its directory) when there is no such directory.
    bool setPath(const QString& directory);
    const QString& path() const { return m_path; }
    // Reads the directory again, keeping the selected name where it stays.
    void refresh();

    static QStringList matchingFiles(const QString& directory);

private:
    QString m_path;
};
