#include "core/bmp/BmpDecoder.h"

#include "core/FileBytes.h"

#include "BmpLayout.h"
#include "BmpPixels.h"

#include <QFile>
#include <vector>

namespace {

// The game's screenshot format: the file's rows are the buffer's rows, so
// the pixels go from the file straight into the buffer without a copy.
bool isStoredLikeBuffer(const bmp::Layout& l) { return l.encoding == bmp::Encoding::Plain && l.bitsPerPixel == 24; }

// Undefined pixels (past a short palette, skipped by RLE) are black, so the
// decoder starts from a cleared buffer.
void decodeInto(const bmp::Layout& l, std::span<const std::uint8_t> palette, std::span<const std::uint8_t> pixels,
                std::uint8_t* buffer)
{
    FillOrClear(l.picture(), buffer, [&] {
        l.picture().clear(buffer);
        bmp::decodePixels(l, palette, pixels, buffer);
    });
}

void decodeFile(QFile& file, const PixelAllocator& allocate)
{
    const std::int64_t fileSize = file.size();
    if (fileSize == 0)
        FailRead("file is empty");

    std::uint8_t head[bmp::kLongestHeaders];
    const std::int64_t headSize = std::min<std::int64_t>(fileSize, sizeof head);
    if (!ReadBytesAt(file, 0, head, headSize))
        FailRead("truncated header");
    const bmp::Layout l = bmp::parseLayout({head, std::size_t(headSize)}, fileSize);

    if (isStoredLikeBuffer(l)) {
        std::uint8_t* buffer = AllocatePixels(l.picture(), allocate);
        FillOrClear(l.picture(), buffer, [&] {
            ReadStoredRows(file, {l.pixelOffset, l.rowBytes, l.topDown}, l.picture(), buffer);
        });
        return;
    }
    const std::vector<std::uint8_t> palette = ReadBlock(file, l.paletteOffset, l.paletteBytes());
    const std::vector<std::uint8_t> pixels = ReadBlock(file, l.pixelOffset, l.pixelBytes);
    decodeInto(l, palette, pixels, AllocatePixels(l.picture(), allocate));
}

} // namespace

void DecodeBmpFile(const QString& path, const PixelAllocator& allocate)
{
    DecodeNamedFile<BmpError>(path, [&](QFile& file) { decodeFile(file, allocate); });
}

void DecodeBmpFile(QFile& file, const PixelAllocator& allocate)
{
    DecodeOpenFile<BmpError>(file, [&](QFile& open) { decodeFile(open, allocate); });
}

void DecodeBmp(std::span<const std::uint8_t> bytes, const QString& name, const PixelAllocator& allocate)
{
    DecodeNamedBytes<BmpError>(name, [&] {
        const bmp::Layout l =
            bmp::parseLayout(bytes.first(std::min(bytes.size(), bmp::kLongestHeaders)), std::int64_t(bytes.size()));
        decodeInto(l, bytes.subspan(std::size_t(l.paletteOffset), std::size_t(l.paletteBytes())),
                   bytes.subspan(std::size_t(l.pixelOffset), std::size_t(l.pixelBytes)),
                   AllocatePixels(l.picture(), allocate));
    });
}
