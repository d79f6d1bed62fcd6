#include "core/bmp/BmpDecoder.h"

#include "core/FileBytes.h"

#include "BmpLayout.h"
#include "BmpPixels.h"

#include <QFile>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void raise(const QString& name, const std::string& reason) { throw BmpError(name, reason); }

// Asks the caller for the buffer; every header check has passed by now.
std::uint8_t* allocateBuffer(const bmp::Layout& l, const PixelAllocator& allocate)
{
    std::uint8_t* buffer = allocate(l.width, l.height);
    if (!buffer)
        bmp::fail("no buffer for " + std::to_string(l.width) + " x " + std::to_string(l.height) + " pixels");
    return buffer;
}

// The game's screenshot format: the file's rows are the buffer's rows, so
// the pixels go from the file straight into the buffer without a copy.
bool isStoredLikeBuffer(const bmp::Layout& l) { return l.encoding == bmp::Encoding::Plain && l.bitsPerPixel == 24; }

std::vector<std::uint8_t> readBlock(QFile& file, std::int64_t offset, std::int64_t size)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!ReadBytesAt(file, offset, bytes.data(), size))
        bmp::fail("truncated pixel data");
    return bytes;
}

// Reads the pixel rows straight into the buffer: one read for a bottom-up
// file, one read per row (last row first) for a top-down one. The file's pad
// bytes are then replaced by zeros.
void readStoredRows(QFile& file, const bmp::Layout& l, std::uint8_t* buffer)
{
    bool complete = true;
    if (!l.topDown) {
        complete = ReadBytesAt(file, l.pixelOffset, buffer, l.pixelBytes);
    } else {
        for (int row = 0; row < l.height && complete; ++row)
            complete = ReadBytesAt(file, l.pixelOffset + row * l.rowBytes, bmp::bufferRow(l, buffer, row), l.rowBytes);
    }
    if (!complete) {
        // The file shrank since its size was taken: leave no stale bytes behind.
        std::memset(buffer, 0, std::size_t(l.picture().bytes()));
        bmp::fail("truncated pixel data");
    }
    l.picture().clearPadding(buffer);
}

void decodeFile(QFile& file, const PixelAllocator& allocate)
{
    const std::int64_t fileSize = file.size();
    if (fileSize == 0)
        bmp::fail("file is empty");

    std::uint8_t head[bmp::kLongestHeaders];
    const std::int64_t headSize = std::min<std::int64_t>(fileSize, sizeof head);
    if (!ReadBytesAt(file, 0, head, headSize))
        bmp::fail("truncated header");
    const bmp::Layout l = bmp::parseLayout({head, std::size_t(headSize)}, fileSize);

    if (isStoredLikeBuffer(l)) {
        readStoredRows(file, l, allocateBuffer(l, allocate));
        return;
    }
    const std::vector<std::uint8_t> palette = readBlock(file, l.paletteOffset, l.paletteBytes());
    const std::vector<std::uint8_t> pixels = readBlock(file, l.pixelOffset, l.pixelBytes);
    std::uint8_t* buffer = allocateBuffer(l, allocate);
    std::memset(buffer, 0, std::size_t(l.picture().bytes()));
    bmp::decodePixels(l, palette, pixels, buffer);
}

} // namespace

void DecodeBmpFile(const QString& path, const PixelAllocator& allocate)
{
    QFile file(path);
    if (const std::optional<std::string> reason = OpenForReading(file))
        raise(path, *reason);
    DecodeBmpFile(file, allocate);
}

void DecodeBmpFile(QFile& file, const PixelAllocator& allocate)
{
    try {
        decodeFile(file, allocate);
    } catch (const bmp::Failure& failure) {
        raise(file.fileName(), failure.what());
    }
}

void DecodeBmp(std::span<const std::uint8_t> bytes, const QString& name, const PixelAllocator& allocate)
{
    try {
        const auto size = std::int64_t(bytes.size());
        const bmp::Layout l = bmp::parseLayout(bytes.first(std::min(bytes.size(), bmp::kLongestHeaders)), size);
        std::uint8_t* buffer = allocateBuffer(l, allocate);
        std::memset(buffer, 0, std::size_t(l.picture().bytes()));
        bmp::decodePixels(l, bytes.subspan(std::size_t(l.paletteOffset), std::size_t(l.paletteBytes())),
                          bytes.subspan(std::size_t(l.pixelOffset), std::size_t(l.pixelBytes)), buffer);
    } catch (const bmp::Failure& failure) {
        raise(name, failure.what());
    }
}
