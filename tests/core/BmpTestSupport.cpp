#include "BmpTestSupport.h"

#include "TempDir.h"

#include <QHash>

namespace bmptest {

std::uint32_t Picture::at(int x, int y) const
{
    const std::uint8_t* p = bytes.data() + std::size_t(height - 1 - y) * stride() + 3 * x;
    return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

bool Picture::padIsZero() const
{
    for (int row = 0; row < height; ++row)
        for (int i = width * 3; i < stride(); ++i)
            if (bytes[std::size_t(row) * stride() + i] != 0)
                return false;
    return true;
}

QString writeBytes(const QString& path, const Bytes& bytes)
{
    fwtest::writeAll(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    return path;
}

namespace {

// Fills the buffer with stale bytes, so that every byte left unwritten shows.
BmpAllocator allocatorFor(Picture& picture)
{
    return [&picture](int width, int height) {
        ++picture.allocations;
        picture.width = width;
        picture.height = height;
        picture.bytes.assign(std::size_t(picture.stride()) * height, 0xAB);
        return picture.bytes.data();
    };
}

void keepAsSeed(std::span<const std::uint8_t> bytes)
{
    const QByteArray dir = qgetenv("FW_BMP_SEED_DIR");
    if (dir.isEmpty())
        return;
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    fwtest::writeAll(QString::fromLocal8Bit(dir) + '/' + QString::number(qHash(data), 16) + ".bmp", data);
}

std::string withoutPrefix(const std::string& what, const std::string& prefix)
{
    return what.rfind(prefix, 0) == 0 ? what.substr(prefix.size()) : "(no name) " + what;
}

} // namespace

Picture decode(std::span<const std::uint8_t> bytes)
{
    keepAsSeed(bytes);
    Picture picture;
    DecodeBmp(bytes, "crafted.bmp", allocatorFor(picture));
    return picture;
}

Picture decodeFile(const QString& path)
{
    Picture picture;
    DecodeBmpFile(path, allocatorFor(picture));
    return picture;
}

std::string reasonFor(std::span<const std::uint8_t> bytes, Picture* picture)
{
    keepAsSeed(bytes);
    Picture local;
    try {
        DecodeBmp(bytes, "crafted.bmp", allocatorFor(picture ? *picture : local));
    } catch (const BmpError& e) {
        return withoutPrefix(e.what(), "crafted.bmp: ");
    }
    return "";
}

std::string reasonForFile(const QString& path)
{
    try {
        decodeFile(path);
    } catch (const BmpError& e) {
        return withoutPrefix(e.what(), path.toStdString() + ": ");
    }
    return "";
}

} // namespace bmptest
