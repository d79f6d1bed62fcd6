#include "window/ControlLook.h"

#include <cmath>

namespace look {

// The font system picks what stands in for "MS Sans Serif". Sized in pixels
// at 96 dots per inch, the scale the layout's twips assume, so text keeps its
// place on the skin whatever the screen's DPI; and semi-condensed, because
// the common stand-ins (DejaVu Sans, Liberation Sans) are broad faces and the
// captions have to fit the widths of the layout table.
QFont formFont(double points, bool bold, bool underline)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setStretch(QFont::SemiCondensed);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void colour(QWidget* w, QPalette::ColorRole role, const QColor& c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::All, role, c);
    w->setPalette(pal);
}

void place(QWidget* w, const layout::TwipRect& r) { w->setGeometry(r.pixels()); }

} // namespace look
