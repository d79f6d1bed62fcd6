#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <span>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace fwtest {

// A 24-bit bottom-up BMP file of the image, from Qt's writer, so that a test
// does not depend on the reader or writer under test.
QByteArray bmpBytes(const QImage& image);
void writeBmp(const QString& path, const QImage& image);

// A picture with features that expose flips, swaps and shifts: a gradient
// (red across, green down) and, from 32 x 32 up, a red top-left quadrant and
// a blue bottom-right one.
QImage testPattern(int width, int height);

// Decodes a JPEG file, or JPEG bytes, with TurboJPEG (RGB888); a null image
// when it cannot.
QImage decodeJpeg(const QString& path);
QImage decodeJpeg(std::span<const std::uint8_t> jpeg);

// Largest difference of any channel over all pixels; -1 when the sizes differ.
int maxChannelDiff(const QImage& a, const QImage& b);

// Mean absolute channel difference.
double meanChannelDiff(const QImage& a, const QImage& b);

// Every entry of the directory, hidden ones too, sorted by name.
QStringList dirEntries(const QString& dir);

#ifndef _WIN32
// Faults made with Linux's own means; Windows tests make theirs with
// sharing modes (tests/core/NativeFileWindowsTest.cpp).

// Runs step in a forked child as the unprivileged user 65534, which the
// permission bits bind (the tests run as root, which ignores them). The
// child's exit code: step's result, or 99 when the child could not drop to
// that user.
int runAsNobody(const std::function<int()>& step);

// Lowers the process's file-size limit for the life of the object: writes
// beyond it fail with EFBIG, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
};
#endif

} // namespace fwtest
