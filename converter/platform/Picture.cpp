#include "platform/Picture.h"

#include "core/ScreenshotFile.h"
#include "core/bmp/BmpDecoder.h"

#include <utility>

StdPicture::StdPicture(StdPicture&& other) noexcept : m_handle(std::exchange(other.m_handle, 0)) {}

StdPicture& StdPicture::operator=(StdPicture&& other) noexcept
{
    if (this != &other) {
        Release();
        m_handle = std::exchange(other.m_handle, 0);
    }
    return *this;
}

StdPicture::~StdPicture() { Release(); }

void StdPicture::Release()
{
    if (m_handle)
        gdi::DeleteObject(std::exchange(m_handle, 0));
}

int StdPicture::Width() const
{
    gdi::BITMAP bm;
    gdi::GetObjectA(m_handle, &bm);
    return bm.bmWidth;
}

int StdPicture::Height() const
{
    gdi::BITMAP bm;
    gdi::GetObjectA(m_handle, &bm);
    return bm.bmHeight;
}

namespace {

// Decodes with `decode`, which calls the allocator it is given.
template <typename Decode>
StdPicture load(const Decode& decode, const QString& name)
{
    StdPicture picture;
    decode([&](int width, int height) {
        gdi::BITMAPINFOHEADER header;
        header.biWidth = width;
        header.biHeight = height;
        std::uint8_t* bits = nullptr;
        const gdi::HBITMAP bitmap = gdi::CreateDIBSection(0, header, gdi::DIB_RGB_COLORS, &bits);
        if (!bitmap)
            throw ReadError(name, "not enough memory");
        picture = StdPicture(bitmap);
        return bits;
    });
    return picture;
}

} // namespace

StdPicture LoadPicture(const QString& path)
{
    return load([&](const PixelAllocator& allocate) { DecodeBmpFile(path, allocate); }, path);
}

StdPicture LoadPicture(ScreenshotFile& screenshot, const SourceFile::Wait& wait)
{
    return load([&](const PixelAllocator& allocate) { screenshot.read(allocate, {}, wait); }, screenshot.path());
}

QImage PictureToImage(const StdPicture& picture)
{
    gdi::BITMAP bm;
    if (!gdi::GetObjectA(picture.Handle(), &bm) || !bm.bmBits)
        return {};
    // The view shares the picture's memory; mirrored() makes the owned,
    // top-row-first copy that outlives it.
    const QImage view(bm.bmBits, bm.bmWidth, bm.bmHeight, bm.bmWidthBytes, QImage::Format_BGR888);
    return view.mirrored(false, true).convertToFormat(QImage::Format_RGB888);
}
