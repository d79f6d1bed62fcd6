#include "core/FileBytes.h"

std::optional<std::string> OpenForReading(QFile& file)
{
    if (!file.exists())
        return "file not found";
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return "cannot read file";
    return std::nullopt;
}

bool ReadBytesAt(QFile& file, std::int64_t offset, void* to, std::int64_t size)
{
    if (!file.seek(offset))
        return false;
    auto* out = static_cast<char*>(to);
    while (size > 0) {
        const qint64 got = file.read(out, size);
        if (got <= 0)
            return false;
        out += got;
        size -= got;
    }
    return true;
}

std::vector<std::uint8_t> ReadBlock(QFile& file, std::int64_t offset, std::int64_t size)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!ReadBytesAt(file, offset, bytes.data(), size))
        FailRead("truncated pixel data");
    return bytes;
}

std::uint8_t* AllocatePixels(const PixelLayout& picture, const PixelAllocator& allocate)
{
    std::uint8_t* buffer = allocate(picture.width, picture.height);
    if (!buffer)
        FailRead("no buffer for " + std::to_string(picture.width) + " x " + std::to_string(picture.height) + " pixels");
    return buffer;
}

void ReadStoredRows(QFile& file, const StoredRows& rows, const PixelLayout& picture, std::uint8_t* buffer)
{
    const std::int64_t stride = picture.rowBytes();
    bool complete = true;
    if (!rows.topDown) {
        complete = ReadBytesAt(file, rows.offset, buffer, rows.rowBytes * picture.height);
        for (int row = picture.height - 1; row > 0 && complete && rows.rowBytes != stride; --row)
            std::memmove(buffer + row * stride, buffer + row * rows.rowBytes, std::size_t(rows.rowBytes));
    } else {
        for (int row = 0; row < picture.height && complete; ++row)
            complete = ReadBytesAt(file, rows.offset + row * rows.rowBytes, picture.bufferRow(buffer, row, true),
                                   rows.rowBytes);
    }
    if (!complete)
        FailRead("truncated pixel data");
    picture.clearPadding(buffer);
}
