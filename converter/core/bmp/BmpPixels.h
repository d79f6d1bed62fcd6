#pragma once

// Turning checked bitmap pixel data into the 24-bit bottom-up buffer.
// Internal to the BMP decoder; the layout comes from parseLayout().

#include "BmpLayout.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
namespace bmp {

// The buffer row that holds the file's row `fileRow` (rows are stored
// bottom-up in the buffer whatever the file's order).
std::uint8_t* bufferRow(const Layout& l, std::uint8_t* buffer, int fileRow);

// Decodes checked pixel data (plain or RLE) into the 24-bit bottom-up buffer.
void decodePixels(const Layout& l, std::span<const std::uint8_t> paletteBytes, std::span<const std::uint8_t> pixels,
                  std::uint8_t* buffer);

} // namespace bmp
