#pragma once

#include <QString>

// The decimal number a text begins with, rounded to an integer with halves
// to even: "05 %" -> 5, the quality a caption shows; 0 when there is none.
// Values beyond the int range are clamped to it.
int NumberAtStart(const QString& text);
