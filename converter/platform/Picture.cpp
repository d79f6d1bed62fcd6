#include "platform/Picture.h"

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

template <typename Source>
StdPicture load(Source& source, const QString& name)
{
    StdPicture picture;
    DecodeBmpFile(source, [&](int width, int height) {
        gdi::BITMAPINFOHEADER header;
        header.biWidth = width;
        header.biHeight = height;
        std::uint8_t* bits = nullptr;
        const gdi::HBITMAP bitmap = gdi::CreateDIBSection(0, header, gdi::DIB_RGB_COLORS, &bits);
        if (!bitmap)
            throw BmpError(name, "not enough memory");
        picture = StdPicture(bitmap);
        return bits;
    });
    return picture;
}

} // namespace

StdPicture LoadPicture(const QString& path) { return load(path, path); }

StdPicture LoadPicture(QFile& file) { return load(file, file.fileName()); }

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
