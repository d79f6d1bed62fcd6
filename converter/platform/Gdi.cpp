#include "platform/Gdi.h"

#include "core/PixelLayout.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <variant>

namespace gdi {

namespace {

struct Bitmap {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 3;
    bool bottomUp = true;
    bool isDib = true;
    int stride = 0;
    std::unique_ptr<std::uint8_t[]> pixels;
    HDC selectedInto = 0;

    std::uint8_t* row(int y) const // y counted from the top of the picture
    {
        if (bottomUp) // a DIB section
            return PixelLayout{width, height}.row(pixels.get(), y);
        return pixels.get() + static_cast<std::ptrdiff_t>(y) * stride;
    }
};

struct DeviceContext {
    HBITMAP selected = 0;
};

constexpr HBITMAP kStockBitmap = 0x0008;
constexpr HWND kDesktop = 0x0010;
constexpr HDC kScreenDC = 0x0014;

class Registry {
public:
    static Registry& instance()
    {
        static Registry registry;
        return registry;
    }

    std::mutex mutex;
    std::unordered_map<HANDLE, Bitmap> bitmaps;
    std::unordered_map<HANDLE, DeviceContext> contexts;

    HANDLE nextHandle()
    {
        next += 4;
        return next;
    }

private:
    HANDLE next = 0x0100;
};

HBITMAP addBitmap(Bitmap bitmap)
{
    auto& r = Registry::instance();
    std::lock_guard lock(r.mutex);
    const HBITMAP h = r.nextHandle();
    r.bitmaps.emplace(h, std::move(bitmap));
    return h;
}

bool validSize(int width, int height)
{
    // Keep every offset within 32-bit signed arithmetic and memory sane.
    return width > 0 && height > 0 && static_cast<std::int64_t>(width) * height <= (std::int64_t{1} << 28);
}

// Reads one pixel as blue, green, red.
inline void readBgr(const Bitmap& b, const std::uint8_t* row, int x, std::uint8_t* out)
{
    const std::uint8_t* p = row + x * b.bytesPerPixel;
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
}

inline void writeBgr(const Bitmap& b, std::uint8_t* row, int x, const std::uint8_t* in)
{
    std::uint8_t* p = row + x * b.bytesPerPixel;
    p[0] = in[0];
    p[1] = in[1];
    p[2] = in[2];
    if (b.bytesPerPixel == 4)
        p[3] = 0;
}

} // namespace

HDC CreateCompatibleDC(HDC)
{
    auto& r = Registry::instance();
    std::lock_guard lock(r.mutex);
    const HDC h = r.nextHandle();
    r.contexts.emplace(h, DeviceContext{kStockBitmap});
    return h;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFOHEADER& header, std::uint32_t usage, std::uint8_t** bits)
{
    if (bits)
        *bits = nullptr;
    if (usage != DIB_RGB_COLORS || header.biSize != sizeof(BITMAPINFOHEADER) || header.biPlanes != 1
        || header.biBitCount != 24 || header.biCompression != BI_RGB || !validSize(header.biWidth, header.biHeight))
        return 0;

    Bitmap b;
    b.width = header.biWidth;
    b.height = header.biHeight;
    b.stride = int(PixelLayout{header.biWidth, header.biHeight}.rowBytes());
    b.pixels.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(b.stride) * b.height]);
    if (!b.pixels)
        return 0;
    std::uint8_t* address = b.pixels.get();
    const HBITMAP h = addBitmap(std::move(b));
    if (bits)
        *bits = address;
    return h;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height)
{
    if (!validSize(width, height))
        return 0;
    Bitmap b;
    b.width = width;
    b.height = height;
    b.bytesPerPixel = 4;
    b.bottomUp = false;
    b.isDib = false;
    b.stride = width * 4;
    b.pixels.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(b.stride) * height]());
    if (!b.pixels)
        return 0;
    return addBitmap(std::move(b));
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    auto& r = Registry::instance();
    std::lock_guard lock(r.mutex);
    const auto ctx = r.contexts.find(dc);
    if (ctx == r.contexts.end())
        return 0;
    Bitmap* incoming = nullptr;
    if (object != kStockBitmap) {
        const auto it = r.bitmaps.find(object);
        if (it == r.bitmaps.end())
            return 0;
        incoming = &it->second;
        if (incoming->selectedInto != 0 && incoming->selectedInto != dc)
            return 0;
    }
    const HBITMAP previous = ctx->second.selected;
    if (const auto old = r.bitmaps.find(previous); old != r.bitmaps.end())
        old->second.selectedInto = 0;
    if (incoming)
        incoming->selectedInto = dc;
    ctx->second.selected = object;
    return previous;
}

bool DeleteObject(HGDIOBJ object)
{
    auto& r = Registry::instance();
    std::unique_ptr<std::uint8_t[]> doomed; // freed outside the lock
    {
        std::lock_guard lock(r.mutex);
        const auto it = r.bitmaps.find(object);
        if (it == r.bitmaps.end() || it->second.selectedInto != 0)
            return false;
        doomed = std::move(it->second.pixels);
        r.bitmaps.erase(it);
    }
    return true;
}

bool DeleteDC(HDC dc)
{
    auto& r = Registry::instance();
    std::lock_guard lock(r.mutex);
    const auto it = r.contexts.find(dc);
    if (it == r.contexts.end())
        return false;
    if (const auto b = r.bitmaps.find(it->second.selected); b != r.bitmaps.end())
        b->second.selectedInto = 0;
    r.contexts.erase(it);
    return true;
}

bool BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, std::uint32_t rop)
{
    if (rop != SRCCOPY)
        return false;
    auto& r = Registry::instance();
    std::lock_guard lock(r.mutex);
    const auto dctx = r.contexts.find(dest);
    const auto sctx = r.contexts.find(src);
    if (dctx == r.contexts.end() || sctx == r.contexts.end())
        return false;
    const auto dbit = r.bitmaps.find(dctx->second.selected);
    const auto sbit = r.bitmaps.find(sctx->second.selected);
    if (dbit == r.bitmaps.end() || sbit == r.bitmaps.end())
        return false;
    const Bitmap& d = dbit->second;
    const Bitmap& s = sbit->second;

    // Clip the rectangle against both bitmaps, moving both origins together.
    if (x < 0) {
        width += x;
        srcX -= x;
        x = 0;
    }
    if (y < 0) {
        height += y;
        srcY -= y;
        y = 0;
    }
    if (srcX < 0) {
        width += srcX;
        x -= srcX;
        srcX = 0;
    }
    if (srcY < 0) {
        height += srcY;
        y -= srcY;
        srcY = 0;
    }
    width = std::min({width, d.width - x, s.width - srcX});
    height = std::min({height, d.height - y, s.height - srcY});
    if (width <= 0 || height <= 0)
        return true;

    const bool sameFormat = d.bytesPerPixel == s.bytesPerPixel;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = s.row(srcY + row) + srcX * s.bytesPerPixel;
        std::uint8_t* out = d.row(y + row) + x * d.bytesPerPixel;
        if (sameFormat) {
            std::memmove(out, in, static_cast<std::size_t>(width) * d.bytesPerPixel);
            continue;
        }
        for (int col = 0; col < width; ++col) {
            std::uint8_t bgr[3];
            readBgr(s, in, col, bgr);
            writeBgr(d, out, col, bgr);
        }
    }
    return true;
}

int GetObjectA(HGDIOBJ object, BITMAP* out)
{
    auto& r = Registry::instance();
    std::lock_guard lock(r.mutex);
    const auto it = r.bitmaps.find(object);
    if (it == r.bitmaps.end() || !out)
        return 0;
    const Bitmap& b = it->second;
    out->bmType = 0;
    out->bmWidth = b.width;
    out->bmHeight = b.height;
    out->bmWidthBytes = b.stride;
    out->bmPlanes = 1;
    out->bmBitsPixel = static_cast<std::uint16_t>(b.bytesPerPixel * 8);
    out->bmBits = b.isDib ? b.pixels.get() : nullptr;
    return static_cast<int>(sizeof(BITMAP));
}

long GetBitmapBits(HBITMAP bitmap, long size, void* out)
{
    auto& r = Registry::instance();
    std::lock_guard lock(r.mutex);
    const auto it = r.bitmaps.find(bitmap);
    if (it == r.bitmaps.end() || !out || size <= 0)
        return 0;
    const Bitmap& b = it->second;
    const long total = static_cast<long>(b.stride) * b.height;
    const long n = std::min(size, total);
    std::memcpy(out, b.pixels.get(), static_cast<std::size_t>(n));
    return n;
}

HWND GetDesktopWindow() { return kDesktop; }

HDC GetDC(HWND window) { return window == kDesktop ? kScreenDC : 0; }

int ReleaseDC(HWND window, HDC dc) { return window == kDesktop && dc == kScreenDC ? 1 : 0; }

std::size_t LiveObjectCount()
{
    auto& r = Registry::instance();
    std::lock_guard lock(r.mutex);
    return r.bitmaps.size() + r.contexts.size();
}

} // namespace gdi
