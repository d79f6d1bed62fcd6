#pragma once

#include <cstddef>
#include <cstdint>

// A small drawing layer in place of the platform's device contexts and
// bitmaps. Handles are opaque non-zero numbers; memory device contexts hold
// one selected bitmap; BitBlt copies rectangles between them, converting
// pixel formats. Only what the image class and the picture loader need.
namespace gdi {

using HANDLE = std::uint32_t;
using HDC = HANDLE;
using HBITMAP = HANDLE;
using HGDIOBJ = HANDLE;
using HWND = HANDLE;

inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t DIB_RGB_COLORS = 0;
inline constexpr std::uint32_t BI_RGB = 0;

struct BITMAPINFOHEADER {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 24;
    std::uint32_t biCompression = BI_RGB;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct BITMAP {
    std::int32_t bmType = 0;
    std::int32_t bmWidth = 0;
    std::int32_t bmHeight = 0;
    std::int32_t bmWidthBytes = 0;
    std::uint16_t bmPlanes = 0;
    std::uint16_t bmBitsPixel = 0;
    std::uint8_t* bmBits = nullptr; // null for device-dependent bitmaps
};

// A memory device context (compatible with the screen whatever dc is).
// It starts with the layer's stock 1 x 1 bitmap selected. 0 on failure.
HDC CreateCompatibleDC(HDC dc);

// A 24-bit bottom-up section as described by the header (only 24-bit BI_RGB
// with positive width and height is supported). Stores the address of its
// pixels in *bits; the pixels are not initialised. 0 on failure.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFOHEADER& header, std::uint32_t usage, std::uint8_t** bits);

// A bitmap in the screen's own format (32-bit, top row first). 0 on failure.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);

// Selects a bitmap into a memory device context and returns the one that
// was selected before; 0 when either handle is unknown or the bitmap is
// selected into another context already.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

// Frees a bitmap. Fails for the stock bitmap and for a bitmap that is still
// selected into a device context.
bool DeleteObject(HGDIOBJ object);

// Frees a memory device context; its selected bitmap is left alone.
bool DeleteDC(HDC dc);

// Copies width x height pixels at (srcX, srcY) of src's bitmap to (x, y) of
// dest's bitmap; rectangles are clipped to both bitmaps. SRCCOPY only.
bool BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, std::uint32_t rop);

// Fills a BITMAP record for a bitmap; returns the bytes filled, 0 otherwise
// (the record is then left untouched).
int GetObjectA(HGDIOBJ object, BITMAP* out);

// Copies up to size bytes of a bitmap's pixels, rows in memory order (top
// row first for screen-format bitmaps); returns the bytes copied.
long GetBitmapBits(HBITMAP bitmap, long size, void* out);

// The screen. Its device context can make compatible contexts and bitmaps.
HWND GetDesktopWindow();
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// Bitmaps and memory contexts alive at the moment (the stock bitmap and the
// screen excluded). Lets tests prove that nothing leaks.
std::size_t LiveObjectCount();

} // namespace gdi
