#pragma once

// The viewer's only window: the credits turning on a square, drawn through
// our Direct3D-like layer, with a quit button in the top-right corner.
#include "QuadVertex.h"
#include "ViewerHost.h"
#include "d3d/D3DX.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class PictureButton;

class frmMain : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 495;
    static constexpr int kClientHeight = 451;
    static constexpr int kTimerInterval = 40; // milliseconds: 25 frames a second
    static constexpr std::uint32_t kQuadFvf = d3d::D3DFVF_XYZ | d3d::D3DFVF_DIFFUSE | d3d::D3DFVF_TEX1;

    explicit frmMain(ViewerHost host, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: show the window, open the device, build the scene; without a
    // device, tell the user and end the program.
    void Form_Load();
    // The end of the program, from CmdQuit or any close; never cancels.
    void Form_Unload(int& cancel);

    bool OpenDevice(QWidget* hWnd);
    void InitDeviceObjects();
    void ReleaseDevice();
    void Timer1_Timer();
    void RenderFrame();
    void CmdQuit_Click();

    static QuadVertex MakeVertex(float x, float y, float z, float tu, float tv, std::uint32_t colour);
    static d3d::D3DVECTOR MakeVector(float x, float y, float z);
    static QString CreditsText();
    // The camera angle for a time of day: one turn in 2 pi x 3.145 seconds.
    static double CameraAngle(double secondsSinceMidnight);

    // For inspection.
    d3d::Direct3DDevice8* device() const { return m_device.get(); }
    d3d::Direct3DTexture8* textTexture() const { return m_textTexture.get(); }
    const std::array<QuadVertex, 4>& quad() const { return m_quad; }
    PictureButton* quitButton() const { return CmdQuit; }
    QTimer& timer() { return Timer1; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ViewerHost m_host;
    PictureButton* CmdQuit;
    QTimer Timer1;

    std::unique_ptr<d3d::DirectX8> m_dx;
    std::unique_ptr<d3d::Direct3D8> m_d3d;
    std::unique_ptr<d3d::D3DX8> m_d3dx;
    std::unique_ptr<d3d::Direct3DDevice8> m_device;
    d3d::D3DPRESENT_PARAMETERS m_d3dpp;
    std::unique_ptr<d3d::Direct3DTexture8> m_textTexture;
    std::array<QuadVertex, 4> m_quad{};
    bool m_unloaded = false;
};
