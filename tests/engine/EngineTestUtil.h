#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace fwtest {

// A 24-bit bottom-up BMP file of the image (written by hand, so the test does
// not depend on the reader or writer under test).
QByteArray bmpBytes(const QImage& image);
void writeBmp(const QString& path, const QImage& image);

// A picture with features that expose flips, swaps and shifts: a gradient
// (red across, green down) and, from 32 x 32 up, a red top-left quadrant and
// a blue bottom-right one.
QImage testPattern(int width, int height);

// Decodes a JPEG file with libjpeg-turbo; a null image when it cannot.
QImage decodeJpeg(const QString& path);

// Largest difference of any channel over all pixels; -1 when the sizes differ.
int maxChannelDiff(const QImage& a, const QImage& b);

// Mean absolute channel difference.
double meanChannelDiff(const QImage& a, const QImage& b);

} // namespace fwtest
