#pragma once

#include "platform/Gdi.h"

#include <cstdint>
#include <memory>

class StdPicture;

// One picture as a 24-bit device-independent bitmap section: 3 bytes per
// pixel (blue, green, red), scan lines padded to a multiple of 4 bytes, the
// bottom row first in memory. The pixel buffer belongs to the section and
// lives until the next ClearUp, Create or CreateFromPicture; the JPEG writer
// reads it in place through DIBSectionBitsPtr.
class cDIBSection {
public:
    cDIBSection() = default;
    ~cDIBSection();
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    // With bAsDIB true only explains that it cannot, and returns false.
    // Otherwise puts a screen-format copy on the clipboard; true when the
    // clipboard took it.
    bool CopyToClipboard(bool bAsDIB = true);

    // Fills the header and asks for a section on lhDC; does not select it
    // anywhere and does not free an earlier one. True when hDib is not 0.
    bool CreateDIB(gdi::HDC lhDC, int lWidth, int lHeight, gdi::HBITMAP& hDib);

    // The image takes the picture's size and every one of its pixels. Reports
    // nothing: success shows in hDC() != 0.
    void CreateFromPicture(const StdPicture& picThis);

    // The same for a picture that is not needed afterwards: a picture that
    // already has this class's layout (a 24-bit bottom-up section) is taken
    // over instead of copied, and left empty. A screenshot's pixels are then
    // never copied between loading and encoding.
    void CreateFromPicture(StdPicture&& picThis);

    // Frees any current surface and makes an empty image of the size; the
    // pixels are left uninitialised. False for a size below 1.
    bool Create(int lWidth, int lHeight);

    int BytesPerScanLine() const;
    int Width() const { return m_header.biWidth; }
    int Height() const { return m_header.biHeight; }

    // Copies a rectangle of lhDC to (0, 0) of this image; negative sizes
    // stand for this image's width or height.
    void LoadPictureBlt(gdi::HDC lhDC, int lSrcLeft = 0, int lSrcTop = 0, int lSrcWidth = -1, int lSrcHeight = -1,
                        std::uint32_t eRop = gdi::SRCCOPY);

    // Copies a rectangle of this image onto lhDC, unscaled; negative sizes
    // stand for this image's width or height.
    void PaintPicture(gdi::HDC lhDC, int lDestLeft = 0, int lDestTop = 0, int lDestWidth = -1, int lDestHeight = -1,
                      int lSrcLeft = 0, int lSrcTop = 0, std::uint32_t eRop = gdi::SRCCOPY);

    gdi::HDC hDC() const { return m_hDC; }
    gdi::HBITMAP hDib() const { return m_hDib; }
    std::uint8_t* DIBSectionBitsPtr() const { return m_bits; }

    // Random noise: grey when bGray, otherwise random green and red with
    // blue 0. Pad bytes are left alone. Does nothing on an empty image.
    void RandomiseBits(bool bGray = false);

    // Releases the surface; harmless on an empty image. Width and Height keep
    // the last size.
    void ClearUp();

    // A new image of lNewWidth x lNewHeight holding this one resized
    // bilinearly (an exact copy at the same size); null when it cannot be
    // made or this image is empty. Note the order: height first.
    std::unique_ptr<cDIBSection> Resample(int lNewHeight, int lNewWidth) const;

private:
    void ResampleBilinear(cDIBSection& target) const;

    gdi::HBITMAP m_hDib = 0;
    gdi::HBITMAP m_hBmpOld = 0;
    gdi::HDC m_hDC = 0;
    std::uint8_t* m_bits = nullptr;
    gdi::BITMAPINFOHEADER m_header;
};
