#include "engine/cDIBSection.h"

#include "core/PixelLayout.h"

#include "platform/MsgBox.h"
#include "platform/Picture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

cDIBSection::~cDIBSection() { ClearUp(); }

int cDIBSection::BytesPerScanLine() const
{
    return static_cast<int>(PixelLayout{m_header.biWidth, m_header.biHeight}.rowBytes());
}

bool cDIBSection::CreateDIB(gdi::HDC lhDC, int lWidth, int lHeight, gdi::HBITMAP& hDib)
{
    // The header is written before asking, so Width and Height report the
    // requested size even when the section cannot be made.
    m_header.biSize = sizeof(gdi::BITMAPINFOHEADER);
    m_header.biWidth = lWidth;
    m_header.biHeight = lHeight;
    m_header.biPlanes = 1;
    m_header.biBitCount = 24;
    m_header.biCompression = gdi::BI_RGB;
    m_header.biSizeImage = static_cast<std::uint32_t>(lHeight) * static_cast<std::uint32_t>(BytesPerScanLine());
    hDib = gdi::CreateDIBSection(lhDC, m_header, gdi::DIB_RGB_COLORS, &m_bits);
    return hDib != 0;
}

bool cDIBSection::Create(int lWidth, int lHeight)
{
    ClearUp();
    m_hDC = gdi::CreateCompatibleDC(0);
    if (m_hDC == 0)
        return false;
    if (CreateDIB(m_hDC, lWidth, lHeight, m_hDib)) {
        m_hBmpOld = gdi::SelectObject(m_hDC, m_hDib);
        return true;
    }
    gdi::DeleteDC(m_hDC);
    m_hDC = 0;
    return false;
}

void cDIBSection::CreateFromPicture(const StdPicture& picThis)
{
    const gdi::HBITMAP picture = picThis.Handle();
    gdi::BITMAP bm;
    gdi::GetObjectA(picture, &bm);
    if (!Create(bm.bmWidth, bm.bmHeight))
        return;

    const gdi::HWND desktop = gdi::GetDesktopWindow();
    const gdi::HDC screen = gdi::GetDC(desktop);
    if (screen == 0)
        return;
    const gdi::HDC work = gdi::CreateCompatibleDC(screen);
    gdi::ReleaseDC(desktop, screen);
    if (work == 0)
        return;
    const gdi::HGDIOBJ kept = gdi::SelectObject(work, picture);
    if (kept == 0) { // selected into another context: blitting would copy black, so stay empty
        gdi::DeleteDC(work);
        ClearUp();
        return;
    }
    LoadPictureBlt(work);
    gdi::SelectObject(work, kept);
    gdi::DeleteDC(work);
}

void cDIBSection::CreateFromPicture(StdPicture&& picThis)
{
    gdi::BITMAP bm;
    const bool sameLayout = gdi::GetObjectA(picThis.Handle(), &bm) && bm.bmBits && bm.bmBitsPixel == 24;
    if (!sameLayout) {
        CreateFromPicture(static_cast<const StdPicture&>(picThis));
        return;
    }
    ClearUp();
    m_hDC = gdi::CreateCompatibleDC(0);
    if (m_hDC == 0)
        return;
    m_hBmpOld = gdi::SelectObject(m_hDC, picThis.Handle());
    if (m_hBmpOld == 0) { // selected elsewhere: it cannot become ours
        gdi::DeleteDC(m_hDC);
        m_hDC = 0;
        CreateFromPicture(static_cast<const StdPicture&>(picThis));
        return;
    }
    m_header.biWidth = bm.bmWidth;
    m_header.biHeight = bm.bmHeight;
    m_header.biSizeImage = static_cast<std::uint32_t>(bm.bmHeight) * static_cast<std::uint32_t>(BytesPerScanLine());
    m_hDib = picThis.Detach();
    m_bits = bm.bmBits;
}

void cDIBSection::LoadPictureBlt(gdi::HDC lhDC, int lSrcLeft, int lSrcTop, int lSrcWidth, int lSrcHeight,
                                 std::uint32_t eRop)
{
    if (lSrcWidth < 0)
        lSrcWidth = Width();
    if (lSrcHeight < 0)
        lSrcHeight = Height();
    gdi::BitBlt(m_hDC, 0, 0, lSrcWidth, lSrcHeight, lhDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::PaintPicture(gdi::HDC lhDC, int lDestLeft, int lDestTop, int lDestWidth, int lDestHeight,
                               int lSrcLeft, int lSrcTop, std::uint32_t eRop)
{
    if (lDestWidth < 0)
        lDestWidth = Width();
    if (lDestHeight < 0)
        lDestHeight = Height();
    gdi::BitBlt(lhDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, m_hDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::ClearUp()
{
    if (m_hDC != 0) {
        if (m_hDib != 0) {
            gdi::SelectObject(m_hDC, m_hBmpOld);
            gdi::DeleteObject(m_hDib);
        }
        gdi::DeleteDC(m_hDC);
    }
    m_hDC = 0;
    m_hDib = 0;
    m_hBmpOld = 0;
    m_bits = nullptr;
}

bool cDIBSection::CopyToClipboard(bool bAsDIB)
{
    const gdi::HWND desktop = gdi::GetDesktopWindow();
    const gdi::HDC screen = gdi::GetDC(desktop);
    if (screen == 0)
        return false;
    const gdi::HDC work = gdi::CreateCompatibleDC(screen);
    if (work == 0) {
        gdi::ReleaseDC(desktop, screen);
        return false;
    }

    bool result = false;
    if (bAsDIB) {
        MsgBox(QStringLiteral("I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!"));
    } else if (const gdi::HBITMAP bitmap = gdi::CreateCompatibleBitmap(screen, Width(), Height())) {
        const gdi::HGDIOBJ kept = gdi::SelectObject(work, bitmap);
        PaintPicture(work, 0, 0, -1, -1, 0, 0, gdi::SRCCOPY);
        gdi::SelectObject(work, kept);

        // The screen format is 32-bit, top row first: QImage's RGB32. The
        // clipboard keeps its own copy, so our bitmap is freed either way.
        QImage image(Width(), Height(), QImage::Format_RGB32);
        gdi::GetBitmapBits(bitmap, static_cast<long>(image.sizeInBytes()), image.bits());
        gdi::DeleteObject(bitmap);
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            if (QClipboard* clipboard = QGuiApplication::clipboard()) {
                clipboard->setImage(image);
                result = true;
            }
        }
    }
    gdi::DeleteDC(work);
    gdi::ReleaseDC(desktop, screen);
    return result;
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(int lNewHeight, int lNewWidth) const
{
    if (!m_bits)
        return nullptr;
    auto target = std::make_unique<cDIBSection>();
    if (!target->Create(lNewWidth, lNewHeight))
        return nullptr;
    if (lNewWidth == Width() && lNewHeight == Height())
        target->LoadPictureBlt(m_hDC, 0, 0, -1, -1, gdi::SRCCOPY);
    else
        ResampleBilinear(*target);
    return target;
}

namespace {

// Rounds to the nearest integer, halves to the even neighbour (the default
// floating-point rounding mode).
inline double roundHalfEven(double v) { return std::nearbyint(v); }

inline std::uint8_t clampByte(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); }

} // namespace

void cDIBSection::ResampleBilinear(cDIBSection& target) const
{
    const int sW = Width();
    const int sH = Height();
    const int dW = target.Width();
    const int dH = target.Height();
    const int sStride = BytesPerScanLine();
    const int dStride = target.BytesPerScanLine();
    const std::uint8_t* src = m_bits;
    std::uint8_t* dst = target.DIBSectionBitsPtr();

    const float xScale = static_cast<float>(static_cast<double>(sW - 1) / dW);
    const float yScale = static_cast<float>(static_cast<double>(sH - 1) / dH);

    for (int y = 0; y < dH; ++y) {
        const double yPos = y * static_cast<double>(yScale);
        // A source one row high has no row above: the edge row stands in.
        const int yi = std::clamp(static_cast<int>(std::floor(yPos)), 0, sH - 1);
        const int yi1 = std::min(yi + 1, sH - 1);
        const float yf = static_cast<float>(yPos) - static_cast<float>(yi);
        const std::uint8_t* row0 = src + static_cast<std::ptrdiff_t>(yi) * sStride;
        const std::uint8_t* row1 = src + static_cast<std::ptrdiff_t>(yi1) * sStride;
        std::uint8_t* out = dst + static_cast<std::ptrdiff_t>(y) * dStride;

        for (int x = 0; x < dW; ++x) {
            const double xPos = x * static_cast<double>(xScale);
            const int xi = std::clamp(static_cast<int>(std::floor(xPos)), 0, sW - 1);
            const int xi1 = std::min(xi + 1, sW - 1);
            const float xf = static_cast<float>(xPos) - static_cast<float>(xi);

            for (int c = 0; c < 3; ++c) {
                const double left = roundHalfEven((1.0 - yf) * row0[3 * xi + c] + double(yf) * row1[3 * xi + c]);
                const double right = roundHalfEven((1.0 - yf) * row0[3 * xi1 + c] + double(yf) * row1[3 * xi1 + c]);
                out[3 * x + c] = clampByte(roundHalfEven((1.0 - xf) * left + double(xf) * right));
            }
        }
    }
}

void cDIBSection::RandomiseBits(bool bGray)
{
    if (!m_bits)
        return;
    // Reseeded from the time of day at every call, as single-precision seconds.
    const float seconds = QTime::currentTime().msecsSinceStartOfDay() / 1000.0f;
    std::uint32_t seed;
    std::memcpy(&seed, &seconds, sizeof seed);
    std::mt19937 engine(seed);
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    const auto draw = [&] { return static_cast<std::uint8_t>(std::nearbyint(uniform(engine) * 255.0f)); };

    const int stride = BytesPerScanLine();
    const int height = Height();
    const int rowBytes = Width() * 3;
    if (bGray) {
        for (int r = 0; r < height; ++r) {
            std::uint8_t* row = m_bits + static_cast<std::ptrdiff_t>(r) * stride;
            for (int x = 0; x < rowBytes; x += 3)
                row[x] = row[x + 1] = row[x + 2] = draw();
        }
    } else {
        for (int x = 0; x < rowBytes; x += 3) {
            for (int r = 0; r < height; ++r) {
                std::uint8_t* p = m_bits + static_cast<std::ptrdiff_t>(r) * stride + x;
                p[0] = 0;
                p[1] = draw();
                p[2] = draw();
            }
        }
    }
}
