#pragma once

#include "core/ScreenshotFile.h"
#include "platform/Gdi.h"

#include <QImage>
#include <QString>
#include <utility>

// A loaded picture: owns one bitmap of the drawing layer, 24-bit
// blue-green-red, rows bottom-up, as the platform's picture objects do.
class StdPicture {
public:
    StdPicture() = default;
    explicit StdPicture(gdi::HBITMAP bitmap) : m_handle(bitmap) {}
    StdPicture(StdPicture&& other) noexcept;
    StdPicture& operator=(StdPicture&& other) noexcept;
    StdPicture(const StdPicture&) = delete;
    StdPicture& operator=(const StdPicture&) = delete;
    ~StdPicture();

    // The picture's bitmap (0 when there is none).
    gdi::HBITMAP Handle() const { return m_handle; }
    int Width() const;
    int Height() const;
    void Release();
    // Hands the bitmap over to the caller, who frees it from then on.
    gdi::HBITMAP Detach() { return std::exchange(m_handle, 0); }

private:
    gdi::HBITMAP m_handle = 0;
};

// Loads a bitmap file. Throws BmpError naming the file and the reason.
StdPicture LoadPicture(const QString& path);
// Loads a screenshot with its format's reader (ScreenshotFile::read: never
// while it is being written, and checked unchanged after). Throws ReadError.
StdPicture LoadPicture(ScreenshotFile& screenshot, const SourceFile::Wait& wait = {});

// The picture as a QImage (RGB888, top row first) for showing it on screen;
// a null image for an empty picture.
QImage PictureToImage(const StdPicture& picture);
