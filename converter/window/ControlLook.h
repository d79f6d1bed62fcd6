#pragma once

#include "FrmMainLayout.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

// How the window's controls look: their font, their colours and their place
// on the skin, shared by the parts that build controls.
namespace look {

inline const QColor kLightBlue(128, 128, 255);

// "MS Sans Serif" at a size in points, as the layout names it.
QFont formFont(double points, bool bold = false, bool underline = false);

void colour(QWidget* w, QPalette::ColorRole role, const QColor& c);

void place(QWidget* w, const layout::TwipRect& r);

// A caption in the form's light blue, at its place.
template <typename Label>
Label* label(Label* l, const layout::TwipRect& r, const QFont& font)
{
    place(l, r);
    l->setFont(font);
    colour(l, QPalette::WindowText, kLightBlue);
    return l;
}

} // namespace look
