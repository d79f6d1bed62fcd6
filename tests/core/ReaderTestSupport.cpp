#include "ReaderTestSupport.h"

#include "TempDir.h"

#include <QHash>

namespace readertest {

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

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes le16(std::uint16_t value) { return {std::uint8_t(value), std::uint8_t(value >> 8)}; }
Bytes le32(std::uint32_t value) { return le16(std::uint16_t(value)) + le16(std::uint16_t(value >> 16)); }

QString writeBytes(const QString& path, const Bytes& bytes)
{
    fwtest::writeAll(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    return path;
}

// Fills the buffer with stale bytes, so that every byte left unwritten shows.
PixelAllocator allocatorFor(Picture& picture)
{
    return [&picture](int width, int height) {
        ++picture.allocations;
        picture.width = width;
        picture.height = height;
        picture.bytes.assign(std::size_t(picture.stride()) * height, 0xAB);
        return picture.bytes.data();
    };
}

void keepAsSeed(std::span<const std::uint8_t> bytes, const char* format)
{
    const QByteArray dir = qgetenv(QByteArray("FW_") + format + "_SEED_DIR");
    if (dir.isEmpty())
        return;
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    const QString name = QString::number(qHash(data), 16) + '.' + QString(format).toLower();
    fwtest::writeAll(QString::fromLocal8Bit(dir) + '/' + name, data);
}

namespace {

std::string withoutPrefix(const std::string& what, const std::string& prefix)
{
    return what.rfind(prefix, 0) == 0 ? what.substr(prefix.size()) : "(no name) " + what;
}

} // namespace

Picture decode(std::span<const std::uint8_t> bytes)
{
    keepAsSeed(bytes, "BMP");
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
    keepAsSeed(bytes, "BMP");
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

} // namespace readertest
