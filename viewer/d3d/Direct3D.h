#pragma once

// A small Direct3D 8 work-alike on OpenGL: the root object, the Direct3D
// object, the device, textures and their surfaces. Only what the viewer
// draws with is here; every call answers with Direct3D's result codes.
//
// Conventions kept from Direct3D: row-vector matrices, left-handed view
// space, clip depth 0..w, pixel centres on integer coordinates, texture
// coordinate (0, 0) at the top-left texel, back buffer row 0 at the top.
//
// Objects are owned through std::unique_ptr. Like COM references, a texture
// or surface keeps the shared GL state alive, so releasing in any order is
// safe; a device whose window has gone presents into nothing.
#include "D3DTypes.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace d3d {

class GlCore;
struct TextureData;
class PresentFilter;
class D3DXFont;
class D3DXRenderToSurface;
class D3DX8;

// Called with the class name of every object of this layer as it is released.
// For diagnostics and tests; set it on the GUI thread only.
using ReleaseObserver = std::function<void(const char* objectName)>;
void setReleaseObserver(ReleaseObserver observer);
void notifyRelease(const char* objectName);

class Direct3DSurface8 {
public:
    ~Direct3DSurface8();
    Direct3DSurface8(const Direct3DSurface8&) = delete;
    Direct3DSurface8& operator=(const Direct3DSurface8&) = delete;

private:
    friend class Direct3DTexture8;
    friend class D3DXRenderToSurface;
    explicit Direct3DSurface8(std::shared_ptr<TextureData> data);
    std::shared_ptr<TextureData> m_data;
};

class Direct3DTexture8 {
public:
    ~Direct3DTexture8();
    Direct3DTexture8(const Direct3DTexture8&) = delete;
    Direct3DTexture8& operator=(const Direct3DTexture8&) = delete;

    HRESULT GetSurfaceLevel(std::uint32_t level, std::unique_ptr<Direct3DSurface8>& surface) const;

    // A copy of level 0 as 32-bit pixels (for diagnostics and tests).
    QImage levelImage() const;

private:
    friend class Direct3DDevice8;
    friend class D3DX8;
    explicit Direct3DTexture8(std::shared_ptr<TextureData> data);
    std::shared_ptr<TextureData> m_data;
};

class Direct3DDevice8 {
public:
    ~Direct3DDevice8();
    Direct3DDevice8(const Direct3DDevice8&) = delete;
    Direct3DDevice8& operator=(const Direct3DDevice8&) = delete;

    // D3D_OK when the device can draw; D3DERR_DEVICENOTRESET when Reset can
    // bring it back; D3DERR_DEVICELOST while it cannot be reset yet.
    HRESULT TestCooperativeLevel() const;
    HRESULT Reset(const D3DPRESENT_PARAMETERS& params);

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, std::uint32_t value);
    HRESULT SetTextureStageState(std::uint32_t stage, D3DTEXTURESTAGESTATETYPE type, std::uint32_t value);
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix);
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) const;

    // Without rectangles the whole render target is cleared; only
    // D3DCLEAR_TARGET is possible since there is no depth or stencil buffer.
    HRESULT Clear(std::uint32_t count, const RECT* rects, std::uint32_t flags, D3DCOLOR color, float z,
                  std::uint32_t stencil);
    HRESULT BeginScene();
    HRESULT EndScene();
    HRESULT SetTexture(std::uint32_t stage, const Direct3DTexture8* texture);
    HRESULT SetVertexShader(std::uint32_t fvf); // the fixed pipeline for an FVF
    // Draws into the back buffer from vertices in the caller's memory.
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, std::uint32_t primitiveCount, const void* vertices,
                            std::uint32_t stride);
    // Shows the back buffer in the device window; only whole-buffer
    // presentation (all arguments null) exists here.
    HRESULT Present(const RECT* source, const RECT* dest, QWidget* overrideWindow, const void* dirtyRegion);

    // Diagnostics.
    QString rendererName() const;
    QImage frontBuffer() const; // the last presented picture
    int presentCount() const { return m_presents; }
    int resetCount() const { return m_resets; }
    // Makes the device report a loss, as a driver reset would: status is
    // D3DERR_DEVICENOTRESET or D3DERR_DEVICELOST.
    void simulateLoss(HRESULT status) { m_lostStatus = status; }

private:
    friend class Direct3D8;
    friend class D3DX8;
    friend class D3DXFont;
    friend class D3DXRenderToSurface;

    struct StageState {
        std::uint32_t minFilter = D3DTEXF_POINT;
        std::uint32_t magFilter = D3DTEXF_POINT;
        std::uint32_t addressU = D3DTADDRESS_WRAP;
        std::uint32_t addressV = D3DTADDRESS_WRAP;
    };

    Direct3DDevice8(std::shared_ptr<GlCore> core, QWidget* window, D3DFORMAT format);
    HRESULT createBackBuffer(const D3DPRESENT_PARAMETERS& params);
    bool bindTexture(TextureData* data);
    QImage* surfaceTarget() const;

    std::shared_ptr<GlCore> m_core;
    QPointer<QWidget> m_window;
    std::unique_ptr<PresentFilter> m_presenter;
    D3DFORMAT m_format;

    // Device state, kept here and applied at each draw.
    bool m_lighting = true;
    std::uint32_t m_cullMode = D3DCULL_CCW;
    bool m_blend = false;
    std::uint32_t m_srcBlend = D3DBLEND_ONE;
    std::uint32_t m_destBlend = D3DBLEND_ZERO;
    StageState m_stage0;
    D3DMATRIX m_world, m_view, m_projection;
    std::shared_ptr<TextureData> m_texture;
    std::uint32_t m_fvf = 0;

    bool m_inScene = false;
    std::shared_ptr<TextureData> m_renderTarget; // null: the back buffer
    HRESULT m_lostStatus = D3D_OK;
    int m_presents = 0;
    int m_resets = 0;
};

class Direct3D8 {
public:
    ~Direct3D8();
    Direct3D8(const Direct3D8&) = delete;
    Direct3D8& operator=(const Direct3D8&) = delete;

    HRESULT GetAdapterDisplayMode(std::uint32_t adapter, D3DDISPLAYMODE* mode) const;
    // focusWindow shows the presented frames unless params names another.
    HRESULT CreateDevice(std::uint32_t adapter, D3DDEVTYPE type, QWidget* focusWindow, std::uint32_t behaviourFlags,
                         const D3DPRESENT_PARAMETERS& params, std::unique_ptr<Direct3DDevice8>& device) const;

private:
    friend class DirectX8;
    Direct3D8() = default;
};

class DirectX8 {
public:
    DirectX8() = default;
    ~DirectX8();
    DirectX8(const DirectX8&) = delete;
    DirectX8& operator=(const DirectX8&) = delete;

    // Null when this platform offers no OpenGL (no display, no GL driver).
    std::unique_ptr<Direct3D8> Direct3DCreate() const;
};

} // namespace d3d
