// The parts of the viewer that need no OpenGL: the matrix helpers, the
// camera, the vertex records, the credits text, the window's layout and the
// real stop message.
#include "FakeHost.h"
#include "PictureButton.h"
#include "d3d/D3DXMath.h"
#include "frmMain.h"

#include <QApplication>
#include <QFontInfo>
#include <QMessageBox>
#include <QTimer>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace d3d;

namespace {

constexpr double kPi = 3.14159265358979323846;

void expectMatrix(const D3DMATRIX& actual, const float (&expected)[4][4], float tolerance = 1e-6f)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected[r][c], tolerance) << "row " << r << " column " << c;
}

D3DVECTOR transform(const D3DVECTOR& p, const D3DMATRIX& m, float* w = nullptr)
{
    float out[4];
    for (int c = 0; c < 4; ++c)
        out[c] = p.x * m.m[0][c] + p.y * m.m[1][c] + p.z * m.m[2][c] + m.m[3][c];
    if (w)
        *w = out[3];
    return {out[0], out[1], out[2]};
}

std::uint32_t bitsOf(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

} // namespace

TEST(MatrixHelpers, IdentityIsTheUnitMatrix)
{
    D3DMATRIX m;
    m.m[1][2] = 7.0f; // must be overwritten
    D3DXMatrixIdentity(&m);
    expectMatrix(m, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
}

TEST(MatrixHelpers, PerspectiveFollowsTheLeftHandedFormula)
{
    // Hand-worked: fov = pi/2 gives h = cot(pi/4) = 1; aspect 2 gives w = 0.5;
    // near 1, far 3: q = 3/2, -n*q = -1.5.
    D3DMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, float(kPi / 2), 2.0f, 1.0f, 3.0f);
    expectMatrix(m, {{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1.5f, 1}, {0, 0, -1.5f, 0}});

    // The viewer's own projection, against the formula in double precision.
    D3DXMatrixPerspectiveFovLH(&m, 0.785f, 1.0f, 1.0f, 200.0f);
    const double h = 1.0 / std::tan(double(0.785f) / 2.0);
    const double q = 200.0 / 199.0;
    expectMatrix(m, {{float(h), 0, 0, 0}, {0, float(h), 0, 0}, {0, 0, float(q), 1}, {0, 0, float(-q), 0}}, 1e-5f);

    // Depth runs 0..1 from the near to the far plane, as Direct3D clips it.
    float w = 0;
    D3DVECTOR p = transform({0, 0, 1.0f}, m, &w);
    EXPECT_NEAR(p.z / w, 0.0f, 1e-6f);
    p = transform({0, 0, 200.0f}, m, &w);
    EXPECT_NEAR(p.z / w, 1.0f, 1e-6f);
}

TEST(MatrixHelpers, LookAtFollowsTheLeftHandedFormula)
{
    // Hand-worked: eye (0, 0, -5) looking at the origin with +y up is a pure
    // translation by +5 along z (the eye looks down +z in a left-handed view).
    const D3DVECTOR eye{0, 0, -5}, at{0, 0, 0}, up{0, 1, 0};
    D3DMATRIX m;
    D3DXMatrixLookAtLH(&m, &eye, &at, &up);
    expectMatrix(m, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 5, 1}});

    // The viewer's camera at theta = 0: eye (1, 1, 0).
    const D3DVECTOR eye0{1, 1, 0};
    D3DXMatrixLookAtLH(&m, &eye0, &at, &up);
    const float s = float(1 / std::sqrt(2.0));
    // zaxis = -(1,1,0)/sqrt2; xaxis = up x zaxis = (0,0,1); yaxis = zaxis x xaxis = (-1,1,0)/sqrt2
    expectMatrix(m, {{0, -s, -s, 0}, {0, s, -s, 0}, {1, 0, 0, 0}, {0, 0, 2 * s, 1}});

    // The eye lands on the origin of view space, the target straight ahead.
    D3DVECTOR v = transform(eye0, m);
    EXPECT_NEAR(v.x, 0, 1e-6);
    EXPECT_NEAR(v.y, 0, 1e-6);
    EXPECT_NEAR(v.z, 0, 1e-6);
    v = transform(at, m);
    EXPECT_NEAR(v.x, 0, 1e-6);
    EXPECT_NEAR(v.y, 0, 1e-6);
    EXPECT_NEAR(v.z, std::sqrt(2.0), 1e-6);
}

TEST(MatrixHelpers, ProductIsRowVectorOrder)
{
    D3DMATRIX translate, scale;
    D3DXMatrixIdentity(&translate);
    D3DXMatrixIdentity(&scale);
    translate.m[3][0] = 1.0f; // x + 1
    scale.m[0][0] = 3.0f;     // x * 3
    // p x (T x S): translate first, then scale.
    EXPECT_FLOAT_EQ(transform({1, 0, 0}, translate * scale).x, 6.0f);
    EXPECT_FLOAT_EQ(transform({1, 0, 0}, scale * translate).x, 4.0f);
}

TEST(Camera, AngleIsTimeOfDayOver3145)
{
    EXPECT_DOUBLE_EQ(frmMain::CameraAngle(0.0), 0.0);
    EXPECT_DOUBLE_EQ(frmMain::CameraAngle(3.145), 1.0);
    // A quarter turn after about 4.94 s; one turn in about 19.76 s.
    EXPECT_NEAR(frmMain::CameraAngle(3.145 * kPi / 2), kPi / 2, 1e-12);
    EXPECT_NEAR(2 * kPi * 3.145, 19.76, 0.01);
}

TEST(Camera, EyeCirclesAtHeightOne)
{
    auto eyeAt = [](double theta) {
        return frmMain::MakeVector(float(std::cos(theta)), 1.0f, float(std::sin(theta)));
    };
    D3DVECTOR e = eyeAt(0);
    EXPECT_FLOAT_EQ(e.x, 1);
    EXPECT_FLOAT_EQ(e.y, 1);
    EXPECT_FLOAT_EQ(e.z, 0);
    e = eyeAt(kPi / 2);
    EXPECT_NEAR(e.x, 0, 1e-7);
    EXPECT_FLOAT_EQ(e.y, 1);
    EXPECT_FLOAT_EQ(e.z, 1);
}

TEST(QuadVertexRecord, MakeVertexPutsTheColourBetweenZAndTu)
{
    const QuadVertex v = frmMain::MakeVertex(1.5f, -2.5f, 3.25f, 0.125f, 0.875f, 0x80112233u);
    unsigned char bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    auto floatAt = [&](int offset) {
        float f;
        std::memcpy(&f, bytes + offset, 4);
        return f;
    };
    std::uint32_t colour;
    std::memcpy(&colour, bytes + 12, 4);
    EXPECT_EQ(floatAt(0), 1.5f);
    EXPECT_EQ(floatAt(4), -2.5f);
    EXPECT_EQ(floatAt(8), 3.25f);
    EXPECT_EQ(colour, 0x80112233u);
    EXPECT_EQ(floatAt(16), 0.125f);
    EXPECT_EQ(floatAt(20), 0.875f);
    // Little-endian ARGB: blue first in memory, alpha last.
    EXPECT_EQ(bytes[12], 0x33);
    EXPECT_EQ(bytes[15], 0x80);
    EXPECT_EQ(bitsOf(0.3f), 0x3E99999Au);
    EXPECT_EQ(bitsOf(0.785f), 0x3F48F5C3u);
}

TEST(Credits, TextHasTheEightLinesInOrder)
{
    const QString text = frmMain::CreditsText();
    EXPECT_FALSE(text.endsWith("\r\n"));
    // Lines are separated by CR LF pairs and by nothing else.
    EXPECT_EQ(text.count("\r\n"), 7);
    EXPECT_EQ(text.count('\r'), 7);
    EXPECT_EQ(text.count('\n'), 7);

    const QStringList lines = text.split("\r\n");
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0], "Framewright V 1.0");
    EXPECT_EQ(lines[1], "");
    EXPECT_TRUE(lines[2].startsWith("On ") && lines[2].endsWith(" @") && lines[2].size() > 5) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith(QString(11, ' ') + "#")) << lines[3].toStdString();
    EXPECT_FALSE(lines[3].mid(11).contains(' '));
    EXPECT_EQ(lines[4], "Credits :");
    EXPECT_EQ(lines[5], "Programmer: Kestrel");
    EXPECT_TRUE(lines[6].startsWith("Designer: ") && lines[6].size() > 10);
    ASSERT_TRUE(lines[7].startsWith("Testers:"));
    const QStringList testers = lines[7].mid(8).split(',');
    EXPECT_EQ(testers.size(), 4);
    for (const QString& t : testers)
        EXPECT_TRUE(!t.isEmpty() && !t.contains(' ')) << lines[7].toStdString();
}

TEST(ViewerWindow, LayoutAtCreation)
{
    auto log = std::make_shared<HostLog>();
    frmMain w(fakeHost(log));
    EXPECT_EQ(w.size(), QSize(495, 451));
    EXPECT_FALSE(w.windowTitle().isEmpty());
    EXPECT_FALSE(w.windowIcon().isNull());
    EXPECT_EQ(w.quitButton()->geometry(), QRect(456, 0, 39, 27));
    EXPECT_TRUE(w.quitButton()->text().isEmpty());
    EXPECT_DOUBLE_EQ(w.font().pointSizeF(), 14.25);
    EXPECT_EQ(w.font().weight(), QFont::Normal);
    EXPECT_FALSE(w.font().italic());
    EXPECT_FALSE(w.font().underline());
    // The timer runs from the window's creation, before any device exists.
    EXPECT_TRUE(w.timer().isActive());
    EXPECT_EQ(w.timer().interval(), 40);
    EXPECT_EQ(w.device(), nullptr);
    std::printf("window font: asked for %s, got %s\n", qPrintable(w.font().family()),
                qPrintable(QFontInfo(w.font()).family()));
}

TEST(ViewerWindow, QuitFacesAreTheConverterExitFacesExchanged)
{
    auto log = std::make_shared<HostLog>();
    frmMain w(fakeHost(log));
    const QImage exitNormal(QString(FW_ART_DIR) + "/exit_normal.bmp");
    const QImage exitPressed(QString(FW_ART_DIR) + "/exit_pressed.bmp");
    ASSERT_EQ(exitNormal.size(), QSize(35, 24));
    ASSERT_NE(exitNormal, exitPressed);
    const QImage normal = w.quitButton()->normalPicture().toImage().convertToFormat(exitPressed.format());
    const QImage pressed = w.quitButton()->pressedPicture().toImage().convertToFormat(exitNormal.format());
    EXPECT_EQ(normal, exitPressed);
    EXPECT_EQ(pressed, exitNormal);
}

TEST(ViewerWindow, TicksWithoutADeviceDoNothing)
{
    auto log = std::make_shared<HostLog>();
    frmMain w(fakeHost(log));
    w.Timer1_Timer();
    w.RenderFrame();
    EXPECT_EQ(w.device(), nullptr);
    EXPECT_TRUE(log->messages.isEmpty());
    EXPECT_TRUE(log->endCodes.isEmpty());
}

TEST(ViewerHostSystem, StopMessageIsACriticalBoxTitledKudoscope)
{
    const ViewerHost host = ViewerHost::system();
    QString seenText, seenTitle;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    bool seenOkOnly = false;
    // The box is modal: look at it from inside its own event loop, then close it.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        seenOkOnly = box->buttons().size() == 1 && box->button(QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    host.showStopMessage(nullptr, "Unable to create Direct3D device.", "Kudoscope");
    EXPECT_EQ(seenText, "Unable to create Direct3D device.");
    EXPECT_EQ(seenTitle, "Kudoscope");
    EXPECT_EQ(seenIcon, QMessageBox::Critical);
    EXPECT_TRUE(seenOkOnly);
}

TEST(ViewerHostSystem, TimeOfDayIsSecondsSinceMidnight)
{
    const double t = ViewerHost::system().timeOfDay();
    EXPECT_GE(t, 0.0);
    EXPECT_LT(t, 86400.0);
}
