#include "core/tga/TgaDecoder.h"

#include "core/FileBytes.h"

#include "TgaLayout.h"
#include "TgaPixels.h"

#include <QFile>
#include <algorithm>
#include <vector>

namespace {

// The game's screenshot layout: the file's rows are the buffer's rows less
// the padding, so they are read straight into the buffer.
bool isStoredLikeBuffer(const tga::Layout& l)
{
    return !l.rle && l.kind == tga::Kind::TrueColour && l.bytesPerPixel == 3 && !l.rightToLeft;
}

void decodeInto(const tga::Layout& l, std::span<const std::uint8_t> map, std::span<const std::uint8_t> pixels,
                std::uint8_t* buffer)
{
    FillOrClear(l.picture(), buffer, [&] { tga::decodePixels(l, map, pixels, buffer); });
}

tga::Layout readLayout(QFile& file)
{
    const std::int64_t fileSize = file.size();
    std::uint8_t head[tga::kHeaderSize];
    const std::int64_t headSize = std::min<std::int64_t>(fileSize, sizeof head);
    if (!ReadBytesAt(file, 0, head, headSize))
        FailRead("truncated header");
    return tga::parseLayout({head, std::size_t(headSize)}, fileSize);
}

void decodeFile(QFile& file, const PixelAllocator& allocate)
{
    const tga::Layout l = readLayout(file);

    if (isStoredLikeBuffer(l)) {
        std::uint8_t* buffer = AllocatePixels(l.picture(), allocate);
        const StoredRows rows{l.pixelOffset, std::int64_t{l.width} * 3, l.topDown};
        FillOrClear(l.picture(), buffer, [&] { ReadStoredRows(file, rows, l.picture(), buffer); });
        return;
    }
    const std::vector<std::uint8_t> map = ReadBlock(file, l.mapOffset, l.mapBytes());
    const std::vector<std::uint8_t> pixels = ReadBlock(file, l.pixelOffset, l.pixelBytes);
    decodeInto(l, map, pixels, AllocatePixels(l.picture(), allocate));
}

} // namespace

void DecodeTgaFile(const QString& path, const PixelAllocator& allocate)
{
    DecodeNamedFile<TgaError>(path, [&](QFile& file) { decodeFile(file, allocate); });
}

void DecodeTgaFile(QFile& file, const PixelAllocator& allocate)
{
    DecodeOpenFile<TgaError>(file, [&](QFile& open) { decodeFile(open, allocate); });
}

PixelLayout ReadTgaLayout(QFile& file)
{
    PixelLayout picture;
    DecodeOpenFile<TgaError>(file, [&](QFile& open) { picture = readLayout(open).picture(); });
    return picture;
}

void DecodeTga(std::span<const std::uint8_t> bytes, const QString& name, const PixelAllocator& allocate)
{
    DecodeNamedBytes<TgaError>(name, [&] {
        const tga::Layout l =
            tga::parseLayout(bytes.first(std::min(bytes.size(), tga::kHeaderSize)), std::int64_t(bytes.size()));
        decodeInto(l, bytes.subspan(std::size_t(l.mapOffset), std::size_t(l.mapBytes())),
                   bytes.subspan(std::size_t(l.pixelOffset), std::size_t(l.pixelBytes)),
                   AllocatePixels(l.picture(), allocate));
    });
}
