#pragma once

// The D3DX utility objects the viewer needs: texture creation, a font that
// draws text into the device's current render target, and render-to-surface.
#include "Direct3D.h"

#include <QFont>

namespace d3d {

// Draws with a Qt font as a D3DX font draws with a GDI one. Text can only be
// drawn while a render-to-surface scene is open on the device.
class D3DXFont {
public:
    ~D3DXFont();
    D3DXFont(const D3DXFont&) = delete;
    D3DXFont& operator=(const D3DXFont&) = delete;

    HRESULT Begin();
    // Lines break at carriage-return line-feed pairs only; nothing wraps.
    // count < 0 means the whole text. With DT_CALCRECT only the rectangle's
    // right and bottom grow to fit the text. Returns the text height, or 0.
    int DrawTextW(const QString& text, int count, RECT* rect, std::uint32_t format, D3DCOLOR color);
    HRESULT End();

private:
    friend class D3DX8;
    D3DXFont(Direct3DDevice8& device, const QFont& font);
    Direct3DDevice8& m_device;
    QFont m_font;
    bool m_begun = false;
};

class D3DXRenderToSurface {
public:
    ~D3DXRenderToSurface();
    D3DXRenderToSurface(const D3DXRenderToSurface&) = delete;
    D3DXRenderToSurface& operator=(const D3DXRenderToSurface&) = delete;

    // Until EndScene the device's Clear and the fonts draw into the surface.
    HRESULT BeginScene(const Direct3DSurface8& surface, const D3DVIEWPORT8& viewport);
    HRESULT EndScene();

private:
    friend class D3DX8;
    D3DXRenderToSurface(Direct3DDevice8& device, std::uint32_t width, std::uint32_t height, D3DFORMAT format);
    Direct3DDevice8& m_device;
    QSize m_size;
    D3DFORMAT m_format;
    bool m_inScene = false;
};

// Objects made here refer to the device and must be released before it.
class D3DX8 {
public:
    D3DX8() = default;
    ~D3DX8();
    D3DX8(const D3DX8&) = delete;
    D3DX8& operator=(const D3DX8&) = delete;

    // One level only; its pixels are kept in memory as in the managed pool,
    // so the texture survives a device reset in either pool.
    HRESULT CreateTexture(Direct3DDevice8& device, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                          std::uint32_t usage, D3DFORMAT format, D3DPOOL pool,
                          std::unique_ptr<Direct3DTexture8>& texture) const;
    HRESULT CreateFont(Direct3DDevice8& device, const QFont& font, std::unique_ptr<D3DXFont>& out) const;
    HRESULT CreateRenderToSurface(Direct3DDevice8& device, std::uint32_t width, std::uint32_t height, D3DFORMAT format,
                                  std::int32_t depthStencil, D3DFORMAT depthFormat,
                                  std::unique_ptr<D3DXRenderToSurface>& out) const;
};

} // namespace d3d
