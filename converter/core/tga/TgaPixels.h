#pragma once

// Turning checked TGA pixel data into the 24-bit bottom-up buffer.
// Internal to the TGA decoder; the layout comes from parseLayout().

#include "TgaLayout.h"

#include <cstdint>
#include <span>

namespace tga {

// Decodes the pixel data (plain or RLE; l.pixelBytes of it) into the
// buffer, pad bytes included. Throws ReadFailure for a stream that ends early
// or overruns the picture and for an index outside the colour map; the
// buffer is then partly written.
void decodePixels(const Layout& l, std::span<const std::uint8_t> mapBytes, std::span<const std::uint8_t> pixels,
                  std::uint8_t* buffer);

} // namespace tga
