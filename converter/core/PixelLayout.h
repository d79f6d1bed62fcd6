#pragma once

#include <cstdint>
#include <cstring>
#include <functional>

// The one layout of a picture in memory, which every reader writes and the
// image, the drawing layer and the JPEG encoder read: 3 bytes per pixel in
// the order blue, green, red; each row padded with zeros to a multiple of 4
// bytes; the bottom row first. It is the platform's 24-bit DIB, so a
// screenshot is read straight into the buffer the window's run encodes from.
struct PixelLayout {
    int width = 0;
    int height = 0;

    static constexpr bool kBottomUp = true;

    // The row rule of the platform's bitmaps, for any pixel depth: each row
    // padded to a whole number of 32-bit words. A bitmap file stores its
    // rows by it, and this layout is its 24-bit case.
    static constexpr std::int64_t paddedRowBytes(std::int64_t width, int bitsPerPixel)
    {
        return (width * bitsPerPixel + 31) / 32 * 4;
    }

    std::int64_t rowBytes() const { return paddedRowBytes(width, 24); }
    std::int64_t bytes() const { return rowBytes() * height; }
    // The zeros at the end of each row.
    int padBytes() const { return int(rowBytes() - std::int64_t{width} * 3); }
    // Where the picture's row y (0 at the top) starts in a buffer.
    template <typename Byte>
    Byte* row(Byte* buffer, int y) const
    {
        return buffer + rowBytes() * (kBottomUp ? height - 1 - y : y);
    }
    // Where a file's row `fileRow` goes, for a file that stores its rows top
    // row first (topDown) or bottom row first.
    template <typename Byte>
    Byte* bufferRow(Byte* buffer, int fileRow, bool topDown) const
    {
        return row(buffer, topDown ? fileRow : height - 1 - fileRow);
    }
    void clear(std::uint8_t* buffer) const { std::memset(buffer, 0, std::size_t(bytes())); }
    void clearPadding(std::uint8_t* buffer) const
    {
        for (int y = 0; y < height && padBytes() > 0; ++y)
            std::memset(row(buffer, y) + rowBytes() - padBytes(), 0, std::size_t(padBytes()));
    }

    // The length of the same picture as an uncompressed 24-bit bitmap file
    // (a 54-byte header and the padded rows): what the size rule for
    // screenshots measures in formats that may be compressed.
    std::int64_t bitmapFileBytes() const { return 54 + bytes(); }
};

// Runs fill, which writes the picture into buffer. When it fails the buffer
// is cleared before the error goes on, so a half-read picture is zeros and
// never the previous picture of a reused buffer.
template <typename Fill>
void FillOrClear(const PixelLayout& picture, std::uint8_t* buffer, Fill&& fill)
{
    try {
        fill();
    } catch (...) {
        picture.clear(buffer);
        throw;
    }
}

// The largest picture any reader accepts: far above any screen, far below
// what would exhaust memory (about 200 MB of pixels).
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

// Receives the picture's size once a reader has checked the whole header and
// returns the destination, PixelLayout{width, height}.bytes() long. May
// throw (the error passes to the reader's caller); returning nullptr is
// reported as the reader's error. Every byte of the buffer, pad bytes
// included, is written (pixels or zeros) before the reader returns; after an
// error its content is unspecified but never stale.
using PixelAllocator = std::function<std::uint8_t*(int width, int height)>;
