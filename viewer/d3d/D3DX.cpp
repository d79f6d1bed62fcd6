#include "D3DX.h"

#include "GlCore.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>

#ifdef _WIN32
// windows.h, read above through Qt's OpenGL headers, names GDI's CreateFontW
// "CreateFont"; the one defined here is D3DX's, as D3DX.h declared it.
#undef CreateFont
#endif

namespace d3d {

// ------------------------------------------------------------------- font

D3DXFont::D3DXFont(Direct3DDevice8& device, const QFont& font) : m_device(device), m_font(font)
{
    // Plain grey-scale edges: no colour fringes baked into the texture.
    m_font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
}

D3DXFont::~D3DXFont() { notifyRelease("D3DXFont"); }

HRESULT D3DXFont::Begin()
{
    if (m_begun)
        return D3DERR_INVALIDCALL;
    m_begun = true;
    return D3D_OK;
}

HRESULT D3DXFont::End()
{
    if (!m_begun)
        return D3DERR_INVALIDCALL;
    m_begun = false;
    return D3D_OK;
}

int D3DXFont::DrawTextW(const QString& text, int count, RECT* rect, std::uint32_t format, D3DCOLOR color)
{
    QImage* target = m_device.surfaceTarget();
    if (!rect || !target || (format & ~DT_CALCRECT) != 0)
        return 0;

    const QString shown = count < 0 ? text : text.left(count);
    const QStringList lines = shown.split(QStringLiteral("\r\n"));
    // Measured as drawn on the target, whose resolution sets the pixel size.
    QFont font(m_font, target);
    const QFontMetrics metrics(font, target);
    const int lineHeight = metrics.height();
    const int height = lineHeight * int(lines.size());

    if (format & DT_CALCRECT) {
        int width = 0;
        for (const QString& line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        rect->right = rect->left + width;
        rect->bottom = rect->top + height;
        return height;
    }

    QPainter painter(target);
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(color));
    painter.setClipRect(QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)));
    int top = rect->top;
    for (const QString& line : lines) {
        painter.drawText(QPoint(rect->left, top + metrics.ascent()), line);
        top += lineHeight;
    }
    m_device.m_renderTarget->dirty = true;
    return height;
}

// ------------------------------------------------------ render to surface

D3DXRenderToSurface::D3DXRenderToSurface(Direct3DDevice8& device, std::uint32_t width, std::uint32_t height,
                                         D3DFORMAT format)
    : m_device(device), m_size(int(width), int(height)), m_format(format)
{
}

D3DXRenderToSurface::~D3DXRenderToSurface()
{
    if (m_inScene)
        EndScene();
    notifyRelease("D3DXRenderToSurface");
}

HRESULT D3DXRenderToSurface::BeginScene(const Direct3DSurface8& surface, const D3DVIEWPORT8& viewport)
{
    const TextureData& data = *surface.m_data;
    const bool fullViewport = viewport.X == 0 && viewport.Y == 0 && int(viewport.Width) == m_size.width()
                              && int(viewport.Height) == m_size.height();
    if (m_inScene || data.image.size() != m_size || data.format != m_format || !fullViewport)
        return D3DERR_INVALIDCALL;
    const HRESULT hr = m_device.BeginScene();
    if (FAILED(hr))
        return hr;
    m_device.m_renderTarget = surface.m_data;
    m_inScene = true;
    return D3D_OK;
}

HRESULT D3DXRenderToSurface::EndScene()
{
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    m_device.m_renderTarget.reset();
    return m_device.EndScene();
}

// ---------------------------------------------------------- utility object

D3DX8::~D3DX8() { notifyRelease("D3DX8"); }

HRESULT D3DX8::CreateTexture(Direct3DDevice8& device, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                             std::uint32_t usage, D3DFORMAT format, D3DPOOL /*pool*/,
                             std::unique_ptr<Direct3DTexture8>& texture) const
{
    texture.reset();
    if (!width || !height || width > 4096 || height > 4096 || levels != 1 || usage != 0)
        return D3DERR_INVALIDCALL;
    QImage::Format imageFormat;
    switch (format) {
    case D3DFMT_X8R8G8B8: imageFormat = QImage::Format_RGB32; break;
    case D3DFMT_A8R8G8B8: imageFormat = QImage::Format_ARGB32; break;
    default: return D3DERR_INVALIDCALL;
    }
    QImage image(int(width), int(height), imageFormat);
    if (image.isNull())
        return E_OUTOFMEMORY;
    image.fill(0);
    texture.reset(new Direct3DTexture8(std::make_shared<TextureData>(device.m_core, std::move(image), format)));
    return D3D_OK;
}

HRESULT D3DX8::CreateFont(Direct3DDevice8& device, const QFont& font, std::unique_ptr<D3DXFont>& out) const
{
    out.reset(new D3DXFont(device, font));
    return D3D_OK;
}

HRESULT D3DX8::CreateRenderToSurface(Direct3DDevice8& device, std::uint32_t width, std::uint32_t height,
                                     D3DFORMAT format, std::int32_t depthStencil, D3DFORMAT /*depthFormat*/,
                                     std::unique_ptr<D3DXRenderToSurface>& out) const
{
    out.reset();
    if (depthStencil || !width || !height || (format != D3DFMT_X8R8G8B8 && format != D3DFMT_A8R8G8B8))
        return D3DERR_INVALIDCALL;
    out.reset(new D3DXRenderToSurface(device, width, height, format));
    return D3D_OK;
}

} // namespace d3d
