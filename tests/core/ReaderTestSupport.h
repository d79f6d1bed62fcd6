#pragma once

// What the readers' tests share: a picture in the readers' buffer layout,
// an allocator that shows every byte left unwritten, the crafted inputs kept
// as fuzzer seeds, and the BMP reader's decoding with the reason of a
// refusal.
#include "core/bmp/BmpDecoder.h"

#include <QString>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace readertest {

using Bytes = std::vector<std::uint8_t>;

// A decoded picture; the vector is exactly the size the decoder was
// promised, so ASan sees any write past it.
struct Picture {
    int width = 0;
    int height = 0;
    int allocations = 0;
    Bytes bytes;

    int stride() const { return int(PixelLayout{width, height}.rowBytes()); }
    // Colour of column x, row y counted from the top, as 0xRRGGBB.
    std::uint32_t at(int x, int y) const;
    bool padIsZero() const;
};

Bytes operator+(Bytes a, const Bytes& b);
// Little-endian fields, as both formats store them.
Bytes le16(std::uint16_t value);
Bytes le32(std::uint32_t value);

QString writeBytes(const QString& path, const Bytes& bytes);

// Hands out exactly the promised size (so ASan sees any write past it),
// filled with stale bytes first, so that every byte left unwritten shows.
PixelAllocator allocatorFor(Picture& picture);

// With FW_<FORMAT>_SEED_DIR set (format "BMP" or "TGA"), writes the bytes
// there as a seed for that reader's fuzzer.
void keepAsSeed(std::span<const std::uint8_t> bytes, const char* format);

// Decodes from memory, keeping the bytes as a seed.
Picture decode(std::span<const std::uint8_t> bytes);
Picture decodeFile(const QString& path);
// The reason after "<name>: ", or "" when the input decodes.
std::string reasonFor(std::span<const std::uint8_t> bytes, Picture* picture = nullptr);
std::string reasonForFile(const QString& path);

} // namespace readertest
