#pragma once

// Reading and checking the header of a TGA file. Internal to the TGA
// decoder: everything here runs before any pixel memory is asked for.

#include "core/tga/TgaDecoder.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace tga {

inline constexpr std::size_t kHeaderSize = 18;

enum class Kind { TrueColour, Grey, Mapped };

// Everything the pixel decoder needs, all checked against the real file size.
struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    bool rightToLeft = false;
    Kind kind = Kind::TrueColour;
    bool rle = false;
    int bytesPerPixel = 0; // as stored: 1, 3 or 4
    int mapFirst = 0;      // the index the colour map's first entry stands for
    int mapEntries = 0;    // entries the decoder uses; 0 unless Kind::Mapped
    int mapEntryBytes = 0; // 3 or 4 when used
    std::int64_t mapOffset = 0;
    std::int64_t pixelOffset = 0;
    std::int64_t pixelBytes = 0; // bytes the decoder reads from pixelOffset on

    std::int64_t pixels() const { return std::int64_t{width} * height; }
    PixelLayout picture() const { return {width, height}; }
    std::int64_t mapBytes() const { return std::int64_t{mapEntries} * mapEntryBytes; }
};

// Checks the 18-byte header (head may be shorter when the file is) against
// the real file size. Throws ReadFailure with the reason.
Layout parseLayout(std::span<const std::uint8_t> head, std::int64_t fileSize);

} // namespace tga
