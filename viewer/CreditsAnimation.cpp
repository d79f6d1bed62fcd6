// The credits scene of frmMain: the text texture, the square, the camera
// orbit and the drawing of each frame.
#include "frmMain.h"

#include "Makers.h"
#include "d3d/D3DXMath.h"

#include <cmath>

using namespace d3d;

namespace {

constexpr std::uint32_t kTextureSize = 256;
constexpr D3DCOLOR kTextureGround = 0xFFC0C0C0;
constexpr D3DCOLOR kTextColour = 0xFF000077;
constexpr float kHalfSide = 0.3f;
constexpr double kSecondsPerRadian = 3.145;

} // namespace

QString frmMain::CreditsText()
{
    QStringList testers;
    for (const char* tester : makers::kTesters)
        testers << QString::fromLatin1(tester);
    const QStringList lines = {
        QStringLiteral("Framewright V 1.0"),
        QString(),
        QStringLiteral("On %1 @").arg(QString::fromLatin1(makers::kChatNetwork)),
        QString(11, QLatin1Char(' ')) + QString::fromLatin1(makers::kChatChannel),
        QStringLiteral("Credits :"),
        QStringLiteral("Programmer: ") + QString::fromLatin1(makers::kProgrammer),
        QStringLiteral("Designer: ") + QString::fromLatin1(makers::kDesigner),
        QStringLiteral("Testers:") + testers.join(QLatin1Char(',')),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QuadVertex frmMain::MakeVertex(float x, float y, float z, float tu, float tv, std::uint32_t colour)
{
    return QuadVertex{x, y, z, colour, tu, tv};
}

D3DVECTOR frmMain::MakeVector(float x, float y, float z) { return D3DVECTOR{x, y, z}; }

double frmMain::CameraAngle(double secondsSinceMidnight) { return secondsSinceMidnight / kSecondsPerRadian; }

void frmMain::InitDeviceObjects()
{
    Direct3DDevice8& device = *m_device;

    // Vertex colours as they are, both faces, blending at the device's
    // default factors; the text is filtered when it is scaled.
    if (FAILED(device.SetRenderState(D3DRS_LIGHTING, 0)) || FAILED(device.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE))
        || FAILED(device.SetRenderState(D3DRS_ALPHABLENDENABLE, 1))
        || FAILED(device.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR))
        || FAILED(device.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR)))
        return;

    D3DMATRIX world;
    if (FAILED(device.SetTransform(D3DTS_WORLD, *D3DXMatrixIdentity(&world))))
        return;
    // Aspect 1 whatever the window's shape: the scene is a little wider than tall.
    D3DMATRIX projection;
    if (FAILED(device.SetTransform(D3DTS_PROJECTION,
                                   *D3DXMatrixPerspectiveFovLH(&projection, 0.785f, 1.0f, 1.0f, 200.0f))))
        return;

    D3DDISPLAYMODE mode;
    if (FAILED(device.GetDisplayMode(&mode)))
        return;
    if (FAILED(m_d3dx->CreateTexture(device, kTextureSize, kTextureSize, 1, 0, mode.Format, D3DPOOL_MANAGED,
                                     m_textTexture)))
        return;

    std::unique_ptr<D3DXFont> font;
    if (FAILED(m_d3dx->CreateFont(device, this->font(), font)))
        return;
    std::unique_ptr<D3DXRenderToSurface> renderToSurface;
    if (FAILED(m_d3dx->CreateRenderToSurface(device, kTextureSize, kTextureSize, mode.Format, 0, D3DFMT_UNKNOWN,
                                             renderToSurface)))
        return;
    std::unique_ptr<Direct3DSurface8> surface;
    if (FAILED(m_textTexture->GetSurfaceLevel(0, surface)))
        return;

    const D3DVIEWPORT8 viewport{0, 0, kTextureSize, kTextureSize, 0.0f, 1.0f};
    if (FAILED(renderToSurface->BeginScene(*surface, viewport)))
        return;
    if (FAILED(device.Clear(0, nullptr, D3DCLEAR_TARGET, kTextureGround, 1.0f, 0)))
        return;

    const QString text = CreditsText();
    RECT rect{10, 20, 0, 0};
    // Measure first (left and top stay, right and bottom grow), then draw.
    if (FAILED(font->Begin()) || font->DrawTextW(text, int(text.size()), &rect, DT_CALCRECT, 0) == 0
        || font->DrawTextW(text, int(text.size()), &rect, 0, kTextColour) == 0 || FAILED(font->End())
        || FAILED(renderToSurface->EndScene()))
        return;
    font.reset();

    m_quad = {
        MakeVertex(-kHalfSide, kHalfSide, 0, 0, 0, 0xFFFFFFFF),
        MakeVertex(kHalfSide, kHalfSide, 0, 1, 0, 0xFFFF5555),
        MakeVertex(-kHalfSide, -kHalfSide, 0, 0, 1, 0xFF5555FF),
        MakeVertex(kHalfSide, -kHalfSide, 0, 1, 1, 0xFF55FF55),
    };
}

void frmMain::Timer1_Timer()
{
    // Ticks come from window creation on, before a device exists and while
    // the failure message is up: there is nothing to move or draw then.
    if (!m_device)
        return;

    // The angle comes from the clock, so late ticks do not slow the turn.
    const double theta = CameraAngle(m_host.timeOfDay());
    const D3DVECTOR eye = MakeVector(float(std::cos(theta)), 1.0f, float(std::sin(theta)));
    const D3DVECTOR target = MakeVector(0, 0, 0);
    const D3DVECTOR up = MakeVector(0, 1, 0);
    D3DMATRIX view;
    m_device->SetTransform(D3DTS_VIEW, *D3DXMatrixLookAtLH(&view, &eye, &target, &up));
    RenderFrame();
}

void frmMain::RenderFrame()
{
    if (!m_device)
        return;

    const d3d::HRESULT status = m_device->TestCooperativeLevel(); // not Windows' own HRESULT
    if (status == D3DERR_DEVICENOTRESET) {
        m_device->Reset(m_d3dpp); // a failed reset is tried again next tick
        return;
    }
    if (status != D3D_OK)
        return;

    Direct3DDevice8& device = *m_device;
    if (FAILED(device.BeginScene()))
        return;
    const bool drawn = SUCCEEDED(device.Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0))
                       && SUCCEEDED(device.SetTexture(0, m_textTexture.get()))
                       && SUCCEEDED(device.SetVertexShader(kQuadFvf))
                       && SUCCEEDED(device.DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, m_quad.data(), sizeof(QuadVertex)));
    // The scene is closed whatever happened inside it, or every later frame
    // would fail at BeginScene.
    if (FAILED(device.EndScene()) || !drawn)
        return;
    device.Present(nullptr, nullptr, nullptr, nullptr);
}
