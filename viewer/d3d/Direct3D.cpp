#include "Direct3D.h"

#include "D3DXMath.h"
#include "GlCore.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <cstring>

namespace d3d {

namespace {

ReleaseObserver& releaseObserver()
{
    static ReleaseObserver observer;
    return observer;
}

GLenum glFilter(std::uint32_t filter) { return filter == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST; }

GLenum glAddress(std::uint32_t mode)
{
    switch (mode) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
    }
}

GLenum glBlendFactor(std::uint32_t blend)
{
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
    }
}

bool isTextureFormat(D3DFORMAT format) { return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8; }

constexpr std::uint32_t kSupportedFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr std::uint32_t kSupportedStride = 24;

} // namespace

void setReleaseObserver(ReleaseObserver observer) { releaseObserver() = std::move(observer); }

void notifyRelease(const char* objectName)
{
    if (releaseObserver())
        releaseObserver()(objectName);
}

// Paints the presented frame under the window's own children (its buttons),
// the way Direct3D owns a window's client area.
class PresentFilter : public QObject {
public:
    explicit PresentFilter(QWidget* window)
        : m_window(window), m_wasOpaque(window->testAttribute(Qt::WA_OpaquePaintEvent))
    {
        m_window->setAttribute(Qt::WA_OpaquePaintEvent, true);
        m_window->installEventFilter(this);
    }
    ~PresentFilter() override
    {
        if (m_window) {
            m_window->removeEventFilter(this);
            m_window->setAttribute(Qt::WA_OpaquePaintEvent, m_wasOpaque);
        }
    }
    void show(QImage frame)
    {
        m_frame = std::move(frame);
        if (m_window)
            m_window->update();
    }
    const QImage& frame() const { return m_frame; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint && !m_frame.isNull()) {
            QPainter painter(m_window);
            painter.drawImage(QPoint(0, 0), m_frame);
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
    bool m_wasOpaque;
    QImage m_frame;
};

// ---------------------------------------------------------------- surfaces

Direct3DSurface8::Direct3DSurface8(std::shared_ptr<TextureData> data) : m_data(std::move(data)) {}
Direct3DSurface8::~Direct3DSurface8() { notifyRelease("Direct3DSurface8"); }

Direct3DTexture8::Direct3DTexture8(std::shared_ptr<TextureData> data) : m_data(std::move(data)) {}
Direct3DTexture8::~Direct3DTexture8() { notifyRelease("Direct3DTexture8"); }

HRESULT Direct3DTexture8::GetSurfaceLevel(std::uint32_t level, std::unique_ptr<Direct3DSurface8>& surface) const
{
    if (level != 0)
        return D3DERR_INVALIDCALL;
    surface.reset(new Direct3DSurface8(m_data));
    return D3D_OK;
}

QImage Direct3DTexture8::levelImage() const { return m_data->image.convertToFormat(QImage::Format_ARGB32); }

// ------------------------------------------------------------------ device

Direct3DDevice8::Direct3DDevice8(std::shared_ptr<GlCore> core, QWidget* window, D3DFORMAT format)
    : m_core(std::move(core)), m_window(window), m_presenter(std::make_unique<PresentFilter>(window)), m_format(format)
{
    D3DXMatrixIdentity(&m_world);
    D3DXMatrixIdentity(&m_view);
    D3DXMatrixIdentity(&m_projection);
}

Direct3DDevice8::~Direct3DDevice8()
{
    m_texture.reset();
    m_renderTarget.reset();
    m_presenter.reset();
    m_core.reset();
    notifyRelease("Direct3DDevice8");
}

HRESULT Direct3DDevice8::createBackBuffer(const D3DPRESENT_PARAMETERS& params)
{
    if (!params.Windowed || params.EnableAutoDepthStencil || params.BackBufferFormat != m_format || !m_window)
        return D3DERR_INVALIDCALL;
    // Zero means "the size of the window's client area".
    const QSize size(params.BackBufferWidth ? int(params.BackBufferWidth) : m_window->width(),
                     params.BackBufferHeight ? int(params.BackBufferHeight) : m_window->height());
    return m_core->resizeBackBuffer(size) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DDevice8::TestCooperativeLevel() const
{
    if (m_lostStatus != D3D_OK)
        return m_lostStatus;
    if (!m_core->isValid())
        return D3DERR_DEVICELOST;
    return D3D_OK;
}

HRESULT Direct3DDevice8::Reset(const D3DPRESENT_PARAMETERS& params)
{
    ++m_resets;
    if (m_lostStatus == D3DERR_DEVICELOST || !m_core->isValid())
        return D3DERR_DEVICELOST;
    const HRESULT hr = createBackBuffer(params);
    if (SUCCEEDED(hr))
        m_lostStatus = D3D_OK;
    return hr;
}

HRESULT Direct3DDevice8::SetRenderState(D3DRENDERSTATETYPE state, std::uint32_t value)
{
    switch (state) {
    case D3DRS_LIGHTING: m_lighting = value != 0; return D3D_OK;
    case D3DRS_CULLMODE:
        if (value < D3DCULL_NONE || value > D3DCULL_CCW)
            return D3DERR_INVALIDCALL;
        m_cullMode = value;
        return D3D_OK;
    case D3DRS_ALPHABLENDENABLE: m_blend = value != 0; return D3D_OK;
    case D3DRS_SRCBLEND: m_srcBlend = value; return D3D_OK;
    case D3DRS_DESTBLEND: m_destBlend = value; return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT Direct3DDevice8::SetTextureStageState(std::uint32_t stage, D3DTEXTURESTAGESTATETYPE type, std::uint32_t value)
{
    if (stage != 0)
        return D3DERR_INVALIDCALL;
    switch (type) {
    case D3DTSS_MINFILTER: m_stage0.minFilter = value; return D3D_OK;
    case D3DTSS_MAGFILTER: m_stage0.magFilter = value; return D3D_OK;
    case D3DTSS_ADDRESSU: m_stage0.addressU = value; return D3D_OK;
    case D3DTSS_ADDRESSV: m_stage0.addressV = value; return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT Direct3DDevice8::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix)
{
    switch (state) {
    case D3DTS_WORLD: m_world = matrix; return D3D_OK;
    case D3DTS_VIEW: m_view = matrix; return D3D_OK;
    case D3DTS_PROJECTION: m_projection = matrix; return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT Direct3DDevice8::GetDisplayMode(D3DDISPLAYMODE* mode) const
{
    const QScreen* screen = m_window ? m_window->screen() : QGuiApplication::primaryScreen();
    if (!screen || !mode)
        return D3DERR_INVALIDCALL;
    mode->Width = std::uint32_t(screen->size().width());
    mode->Height = std::uint32_t(screen->size().height());
    mode->RefreshRate = std::uint32_t(screen->refreshRate());
    mode->Format = m_format;
    return D3D_OK;
}

QImage* Direct3DDevice8::surfaceTarget() const { return m_renderTarget ? &m_renderTarget->image : nullptr; }

HRESULT Direct3DDevice8::Clear(std::uint32_t count, const RECT* rects, std::uint32_t flags, D3DCOLOR color, float /*z*/,
                               std::uint32_t /*stencil*/)
{
    if (flags != D3DCLEAR_TARGET || (count && !rects))
        return D3DERR_INVALIDCALL;

    if (QImage* target = surfaceTarget()) {
        QPainter painter(target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QColor colour = QColor::fromRgba(color);
        if (!count)
            painter.fillRect(target->rect(), colour);
        for (std::uint32_t i = 0; i < count; ++i)
            painter.fillRect(
                QRect(QPoint(rects[i].left, rects[i].top), QPoint(rects[i].right - 1, rects[i].bottom - 1)), colour);
        m_renderTarget->dirty = true;
        return D3D_OK;
    }

    if (!m_core->bindBackBuffer())
        return D3DERR_INVALIDCALL;
    auto& f = m_core->gl();
    f.glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                   (color >> 24) / 255.0f);
    if (!count) {
        f.glClear(GL_COLOR_BUFFER_BIT);
    } else {
        // The back buffer's row 0 is its top row, so Direct3D's rectangles
        // are scissor boxes as they stand.
        f.glEnable(GL_SCISSOR_TEST);
        for (std::uint32_t i = 0; i < count; ++i) {
            f.glScissor(rects[i].left, rects[i].top, rects[i].right - rects[i].left, rects[i].bottom - rects[i].top);
            f.glClear(GL_COLOR_BUFFER_BIT);
        }
        f.glDisable(GL_SCISSOR_TEST);
    }
    return D3D_OK;
}

HRESULT Direct3DDevice8::BeginScene()
{
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    return D3D_OK;
}

HRESULT Direct3DDevice8::EndScene()
{
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
}

HRESULT Direct3DDevice8::SetTexture(std::uint32_t stage, const Direct3DTexture8* texture)
{
    if (stage != 0)
        return D3DERR_INVALIDCALL;
    m_texture = texture ? texture->m_data : nullptr;
    return D3D_OK;
}

HRESULT Direct3DDevice8::SetVertexShader(std::uint32_t fvf)
{
    if (fvf != kSupportedFvf)
        return D3DERR_INVALIDCALL;
    m_fvf = fvf;
    return D3D_OK;
}

bool Direct3DDevice8::bindTexture(TextureData* data)
{
    auto& f = m_core->gl();
    f.glActiveTexture(GL_TEXTURE0);
    if (!data) {
        f.glBindTexture(GL_TEXTURE_2D, m_core->whiteTexture());
        return true;
    }
    if (!data->id)
        f.glGenTextures(1, &data->id);
    f.glBindTexture(GL_TEXTURE_2D, data->id);
    if (data->dirty) {
        // X8R8G8B8 converts with opaque alpha, as Direct3D reads that format.
        const QImage rgba = data->image.convertToFormat(QImage::Format_RGBA8888);
        f.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        f.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, rgba.width(), rgba.height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                       rgba.constBits());
        data->dirty = false;
    }
    f.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLint(glFilter(m_stage0.minFilter)));
    f.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLint(glFilter(m_stage0.magFilter)));
    f.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLint(glAddress(m_stage0.addressU)));
    f.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLint(glAddress(m_stage0.addressV)));
    return f.glGetError() == GL_NO_ERROR;
}

HRESULT Direct3DDevice8::DrawPrimitiveUP(D3DPRIMITIVETYPE type, std::uint32_t primitiveCount, const void* vertices,
                                         std::uint32_t stride)
{
    if (!m_inScene || m_renderTarget || m_fvf != kSupportedFvf || stride != kSupportedStride || !vertices)
        return D3DERR_INVALIDCALL;
    GLenum mode;
    std::uint32_t vertexCount;
    switch (type) {
    case D3DPT_TRIANGLESTRIP:
        mode = GL_TRIANGLE_STRIP;
        vertexCount = primitiveCount + 2;
        break;
    case D3DPT_TRIANGLELIST:
        mode = GL_TRIANGLES;
        vertexCount = primitiveCount * 3;
        break;
    default: return D3DERR_INVALIDCALL;
    }
    if (!primitiveCount)
        return D3D_OK;
    if (!m_core->bindBackBuffer())
        return D3DERR_INVALIDCALL;

    auto& f = m_core->gl();
    auto& program = m_core->program();
    auto& buffer = m_core->vertexBuffer();
    if (!program.bind() || !buffer.bind() || !bindTexture(m_texture.get()))
        return D3DERR_INVALIDCALL;
    buffer.allocate(vertices, int(vertexCount * stride));

    const D3DMATRIX wvp = m_world * m_view * m_projection;
    // Handed over in Direct3D's row-major order; the shader multiplies it
    // from the left, which is Direct3D's p x M.
    f.glUniformMatrix4fv(program.uniformLocation("uWorldViewProj"), 1, GL_FALSE, &wvp.m[0][0]);
    const QSize size = m_core->backBufferSize();
    program.setUniformValue("uPixelCentre", 1.0f / float(size.width()), 1.0f / float(size.height()));
    program.setUniformValue("uLighting", m_lighting);
    program.setUniformValue("uTexture", 0);

    f.glEnableVertexAttribArray(0);
    f.glEnableVertexAttribArray(1);
    f.glEnableVertexAttribArray(2);
    f.glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, GLsizei(stride), nullptr);
    f.glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(stride), reinterpret_cast<void*>(12));
    f.glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, GLsizei(stride), reinterpret_cast<void*>(16));

    // With row 0 at the top, GL's counter-clockwise is Direct3D's clockwise.
    if (m_cullMode == D3DCULL_NONE) {
        f.glDisable(GL_CULL_FACE);
    } else {
        f.glEnable(GL_CULL_FACE);
        f.glFrontFace(GL_CCW);
        f.glCullFace(m_cullMode == D3DCULL_CW ? GL_FRONT : GL_BACK);
    }
    if (m_blend) {
        f.glEnable(GL_BLEND);
        f.glBlendFunc(glBlendFactor(m_srcBlend), glBlendFactor(m_destBlend));
    } else {
        f.glDisable(GL_BLEND);
    }
    f.glDisable(GL_DEPTH_TEST);

    f.glDrawArrays(mode, 0, GLsizei(vertexCount));
    return f.glGetError() == GL_NO_ERROR ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Direct3DDevice8::Present(const RECT* source, const RECT* dest, QWidget* overrideWindow, const void* dirtyRegion)
{
    if (source || dest || overrideWindow || dirtyRegion || m_inScene)
        return D3DERR_INVALIDCALL;
    if (TestCooperativeLevel() != D3D_OK)
        return D3DERR_DEVICELOST;
    QImage frame = m_core->readBackBuffer();
    if (frame.isNull())
        return D3DERR_INVALIDCALL;
    m_presenter->show(std::move(frame));
    ++m_presents;
    return D3D_OK;
}

QString Direct3DDevice8::rendererName() const { return m_core->rendererName(); }

QImage Direct3DDevice8::frontBuffer() const { return m_presenter->frame(); }

// -------------------------------------------------------- Direct3D objects

Direct3D8::~Direct3D8() { notifyRelease("Direct3D8"); }

HRESULT Direct3D8::GetAdapterDisplayMode(std::uint32_t adapter, D3DDISPLAYMODE* mode) const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (adapter != 0 || !mode || !screen)
        return D3DERR_INVALIDCALL;
    mode->Width = std::uint32_t(screen->size().width());
    mode->Height = std::uint32_t(screen->size().height());
    mode->RefreshRate = std::uint32_t(screen->refreshRate());
    // The framebuffers here are always 32-bit, whatever the screen's depth.
    mode->Format = D3DFMT_X8R8G8B8;
    return D3D_OK;
}

HRESULT Direct3D8::CreateDevice(std::uint32_t adapter, D3DDEVTYPE type, QWidget* focusWindow,
                                std::uint32_t /*behaviourFlags*/, const D3DPRESENT_PARAMETERS& params,
                                std::unique_ptr<Direct3DDevice8>& device) const
{
    device.reset();
    QWidget* window = params.hDeviceWindow ? params.hDeviceWindow : focusWindow;
    if (adapter != 0 || (type != D3DDEVTYPE_HAL && type != D3DDEVTYPE_REF) || !window
        || !isTextureFormat(params.BackBufferFormat))
        return D3DERR_INVALIDCALL;
    auto core = GlCore::create();
    if (!core)
        return D3DERR_NOTAVAILABLE;
    std::unique_ptr<Direct3DDevice8> made(new Direct3DDevice8(std::move(core), window, params.BackBufferFormat));
    const HRESULT hr = made->createBackBuffer(params);
    if (FAILED(hr))
        return hr;
    device = std::move(made);
    return D3D_OK;
}

DirectX8::~DirectX8() { notifyRelease("DirectX8"); }

std::unique_ptr<Direct3D8> DirectX8::Direct3DCreate() const
{
    // Direct3D exists where an OpenGL context can be created at all.
    QOpenGLContext probe;
    if (!QGuiApplication::instance() || !probe.create())
        return nullptr;
    return std::unique_ptr<Direct3D8>(new Direct3D8);
}

} // namespace d3d
