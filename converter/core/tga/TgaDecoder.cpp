#include "core/tga/TgaDecoder.h"

#include "core/FileBytes.h"

#include "TgaLayout.h"
#include "TgaPixels.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void raise(const QString& name, const std::string& reason) { throw TgaError(name, reason); }

// Asks the caller for the buffer; every header check has passed by now.
std::uint8_t* allocateBuffer(const tga::Layout& l, const PixelAllocator& allocate)
{
    std::uint8_t* buffer = allocate(l.width, l.height);
    if (!buffer)
        tga::fail("no buffer for " + std::to_string(l.width) + " x " + std::to_string(l.height) + " pixels");
    return buffer;
}

// A failure after the buffer was handed out leaves zeros, never the
// caller's previous picture.
template <typename Fill>
void fillOrClear(const tga::Layout& l, std::uint8_t* buffer, Fill&& fill)
{
    try {
        fill();
    } catch (...) {
        std::memset(buffer, 0, std::size_t(l.picture().bytes()));
        throw;
    }
}

// The game's screenshot layout: the file's rows are the buffer's rows less
// the padding, so they are read straight into the buffer.
bool isStoredLikeBuffer(const tga::Layout& l)
{
    return !l.rle && l.kind == tga::Kind::TrueColour && l.bytesPerPixel == 3 && !l.rightToLeft;
}

std::vector<std::uint8_t> readBlock(QFile& file, std::int64_t offset, std::int64_t size)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!ReadBytesAt(file, offset, bytes.data(), size))
        tga::fail("truncated pixel data");
    return bytes;
}

// A bottom-up file is read in one call into the front of the buffer, then
// each row moves up to its padded place, last row first so that no row is
// overwritten before it has moved. A top-down file is read row by row.
void readStoredRows(QFile& file, const tga::Layout& l, std::uint8_t* buffer)
{
    const std::int64_t rowBytes = std::int64_t{l.width} * 3;
    const std::int64_t stride = l.picture().rowBytes();
    bool complete = true;
    if (!l.topDown) {
        complete = ReadBytesAt(file, l.pixelOffset, buffer, l.pixelBytes);
        for (int row = l.height - 1; row > 0 && complete && rowBytes != stride; --row)
            std::memmove(buffer + row * stride, buffer + row * rowBytes, std::size_t(rowBytes));
    } else {
        for (int row = 0; row < l.height && complete; ++row)
            complete = ReadBytesAt(file, l.pixelOffset + row * rowBytes, tga::bufferRow(l, buffer, row), rowBytes);
    }
    if (!complete) // the file shrank since its size was taken
        tga::fail("truncated pixel data");
    l.picture().clearPadding(buffer);
}

tga::Layout readLayout(QFile& file)
{
    const std::int64_t fileSize = file.size();
    std::uint8_t head[tga::kHeaderSize];
    const std::int64_t headSize = std::min<std::int64_t>(fileSize, sizeof head);
    if (!ReadBytesAt(file, 0, head, headSize))
        tga::fail("truncated header");
    return tga::parseLayout({head, std::size_t(headSize)}, fileSize);
}

void decodeFile(QFile& file, const PixelAllocator& allocate)
{
    const tga::Layout l = readLayout(file);

    if (isStoredLikeBuffer(l)) {
        std::uint8_t* buffer = allocateBuffer(l, allocate);
        fillOrClear(l, buffer, [&] { readStoredRows(file, l, buffer); });
        return;
    }
    const std::vector<std::uint8_t> map = readBlock(file, l.mapOffset, l.mapBytes());
    const std::vector<std::uint8_t> pixels = readBlock(file, l.pixelOffset, l.pixelBytes);
    std::uint8_t* buffer = allocateBuffer(l, allocate);
    fillOrClear(l, buffer, [&] { tga::decodePixels(l, map, pixels, buffer); });
}

} // namespace

void DecodeTgaFile(const QString& path, const PixelAllocator& allocate)
{
    QFile file(path);
    if (const std::optional<std::string> reason = OpenForReading(file))
        raise(path, *reason);
    DecodeTgaFile(file, allocate);
}

void DecodeTgaFile(QFile& file, const PixelAllocator& allocate)
{
    try {
        decodeFile(file, allocate);
    } catch (const tga::Failure& failure) {
        raise(file.fileName(), failure.what());
    }
}

PixelLayout ReadTgaLayout(QFile& file)
{
    try {
        return readLayout(file).picture();
    } catch (const tga::Failure& failure) {
        raise(file.fileName(), failure.what());
    }
}

void DecodeTga(std::span<const std::uint8_t> bytes, const QString& name, const PixelAllocator& allocate)
{
    try {
        const tga::Layout l =
            tga::parseLayout(bytes.first(std::min(bytes.size(), tga::kHeaderSize)), std::int64_t(bytes.size()));
        std::uint8_t* buffer = allocateBuffer(l, allocate);
        fillOrClear(l, buffer, [&] {
            tga::decodePixels(l, bytes.subspan(std::size_t(l.mapOffset), std::size_t(l.mapBytes())),
                              bytes.subspan(std::size_t(l.pixelOffset), std::size_t(l.pixelBytes)), buffer);
        });
    } catch (const tga::Failure& failure) {
        raise(name, failure.what());
    }
}
