#pragma once

// What the decoder's tests share: a picture in the decoder's own layout and
// decoding with the reason of a refusal.
#include "core/bmp/BmpDecoder.h"

#include <QString>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace bmptest {

using Bytes = std::vector<std::uint8_t>;

// A decoded picture; the vector is exactly the size the decoder was
// promised, so ASan sees any write past it.
struct Picture {
    int width = 0;
    int height = 0;
    int allocations = 0;
    Bytes bytes;

    int stride() const { return (width * 3 + 3) & ~3; }
    // Colour of column x, row y counted from the top, as 0xRRGGBB.
    std::uint32_t at(int x, int y) const;
    bool padIsZero() const;
};

QString writeBytes(const QString& path, const Bytes& bytes);

// Decodes from memory (with FW_BMP_SEED_DIR set, the bytes are also written
// there as a seed for the fuzzer).
Picture decode(std::span<const std::uint8_t> bytes);
Picture decodeFile(const QString& path);
// The reason after "<name>: ", or "" when the input decodes.
std::string reasonFor(std::span<const std::uint8_t> bytes, Picture* picture = nullptr);
std::string reasonForFile(const QString& path);

} // namespace bmptest
