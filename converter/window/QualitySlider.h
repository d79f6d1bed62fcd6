#pragma once

#include <QObject>
#include <QString>
#include <functional>

class MouseLabel;
class QLabel;
class QMouseEvent;
class QWidget;

// The JPEG quality slider: the bar LblFore over the track LblBack, under the
// heading lbltutqual, and the caption LblQuality, whose number is the
// quality itself ("00 %" to "100 %"). The mouse, the keys and assistive
// tools move it only while `live` answers true, that is while no conversion
// runs. Its labels are the window's own controls, made in this order.
class QualitySlider : public QObject {
    Q_OBJECT
public:
    QualitySlider(QWidget* window, std::function<bool()> live);

    // The slider whose track this is; none while the window is taken down.
    static QualitySlider* of(const QWidget* track);

    // The bar to value per cent of the track (callers pass 0 to 100), and
    // the caption to match.
    void SetQuality(int value);
    // A mouse button (0 for none) at x twips from the track's left end: the
    // bar goes to x when a button is down and x lies on the track. The
    // caption follows the bar either way.
    void DragQuality(int button, float x);

    // The number of the caption.
    int quality() const;
    QString caption() const;
    // The quality as the keyboard and assistive tools set it: kept within
    // 0 to 100, and set only while live, as with the mouse.
    void moveQuality(int value);

    // The control that takes the keyboard's focus.
    QWidget* track() const;

private:
    void refreshQualityCaption();
    void mouse(QMouseEvent* event);
    bool key(int key);

    std::function<bool()> m_live;
    MouseLabel* LblBack;
    MouseLabel* LblFore;
    QLabel* lbltutqual;
    QLabel* LblQuality;
};
