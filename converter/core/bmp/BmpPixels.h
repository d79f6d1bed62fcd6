#pragma once

// Turning checked bitmap pixel data into the 24-bit bottom-up buffer.
// Internal to the BMP decoder; the layout comes from parseLayout().

#include "BmpLayout.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
namespace bmp {

// Decodes checked pixel data (plain or RLE) into the 24-bit bottom-up buffer.
void decodePixels(const Layout& l, std::span<const std::uint8_t> paletteBytes, std::span<const std::uint8_t> pixels,
                  std::uint8_t* buffer);

} // namespace bmp
