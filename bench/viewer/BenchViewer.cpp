// What one Timer1 tick of the viewer costs: camera, matrices, drawing and
// presenting, and then painting the window. The goal is under 4 ms of CPU
// per frame, a tenth of the 40 ms between ticks.
#include "TempDir.h"
#include "XvfbServer.h"
#include "d3d/D3DXMath.h"
#include "frmMain.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct Clock {
    double seconds = 12 * 3600.0;
};

// One viewer for all runs, built once with its device.
struct Viewer {
    Clock clock;
    std::unique_ptr<frmMain> window;

    Viewer()
    {
        ViewerHost host;
        host.timeOfDay = [this] { return clock.seconds; };
        host.showStopMessage = [](QWidget*, const QString& text, const QString&) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
        };
        host.endProgram = [](int) {};
        window = std::make_unique<frmMain>(std::move(host));
        window->timer().stop(); // the benchmark drives the ticks
        window->Form_Load();
    }

    bool ready() const { return window->device() != nullptr; }
};

Viewer* g_viewer = nullptr;

void BM_CameraAndMatrices(benchmark::State& state)
{
    double t = 0;
    for (auto _ : state) {
        t += 0.04;
        const double theta = frmMain::CameraAngle(t);
        const d3d::D3DVECTOR eye = frmMain::MakeVector(float(std::cos(theta)), 1, float(std::sin(theta)));
        const d3d::D3DVECTOR at{0, 0, 0}, up{0, 1, 0};
        d3d::D3DMATRIX view, projection;
        d3d::D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        d3d::D3DXMatrixPerspectiveFovLH(&projection, 0.785f, 1, 1, 200);
        const d3d::D3DMATRIX m = view * projection;
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BM_CameraAndMatrices);

// Camera, view matrix, clear, texture, draw, present (read back); with
// paint, the window then paints the presented frame as well.
void runTicks(benchmark::State& state, bool paint)
{
    if (!g_viewer->ready()) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    for (auto _ : state) {
        g_viewer->clock.seconds += 0.04;
        g_viewer->window->Timer1_Timer();
        if (paint)
            g_viewer->window->repaint();
    }
}

void BM_Tick(benchmark::State& state) { runTicks(state, false); }
void BM_TickAndPaint(benchmark::State& state) { runTicks(state, true); }
BENCHMARK(BM_Tick)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickAndPaint)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);

    QTemporaryDir home;
    fwtest::usePrivateUserDirs(home.path());

    // Without a display (CI, make bench over ssh) bring a private one.
    XvfbServer xvfb;
    if (!std::getenv("DISPLAY")) {
        if (!xvfb.start()) {
            std::fprintf(stderr, "cannot start Xvfb: %s\n", xvfb.error().c_str());
            return 1;
        }
        setenv("DISPLAY", xvfb.display().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }

    int result = 0;
    {
        QApplication app(argc, argv);
        Viewer viewer;
        g_viewer = &viewer;
        if (viewer.ready())
            std::printf("GL renderer: %s\n", qPrintable(viewer.window->device()->rendererName()));
        benchmark::RunSpecifiedBenchmarks();
        g_viewer = nullptr;
        result = viewer.ready() ? 0 : 1;
    }
    benchmark::Shutdown();
    return result;
}
