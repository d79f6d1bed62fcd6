#pragma once

#include "core/PixelLayout.h"
#include "core/ReadError.h"

#include <QString>
#include <cstdint>
#include <span>

class QFile;

// Our own reader of Windows bitmap files. It writes straight into the
// picture layout every reader fills (PixelLayout).
//
// Read: 1, 2, 4, 8, 16, 24 and 32 bits per pixel; RLE4, RLE8 and OS/2 RLE24;
// bit-field masks (fields of any width scaled with rounding, so full scale
// is 255); top-down and bottom-up rows; OS/2 1.x and 2.x and Windows info
// headers of 40, 52, 56, 108 and 124 bytes. Alpha is ignored: every pixel is
// an opaque colour. Palette indices past the end of a short palette, and
// pixels an RLE stream leaves undefined, come out black.
// Refused: embedded JPEG and PNG streams, OS/2 Huffman, 64 bits per pixel,
// RLE stored top-down.
//
// The whole header is checked (sizes in 64 bits, pixel data inside the real
// file, pixel count capped at kMaxPixels) before the allocator is called; a truncated file
// is always an error. Reasons: "file not found", "cannot read file", "file
// is empty", "not a BMP file", "truncated header", "bad dimensions",
// "dimensions too large", "unsupported bit depth", "unsupported
// compression", "bad palette", "pixel data outside the file", "truncated
// pixel data", "corrupt RLE data", sometimes followed by details in
// brackets.

// Raised for every bitmap that cannot be decoded.
class BmpError : public ReadError {
public:
    using ReadError::ReadError;
};

// Decodes a file. Throws BmpError (or what the allocator throws). The
// file's size field is ignored in favour of the real size. The common
// screenshot layout (24 bits, uncompressed, bottom-up) is read in one call
// straight into the buffer, a top-down one row by row; other layouts are
// read into memory first.
void DecodeBmpFile(const QString& path, const PixelAllocator& allocate);

// Decodes a file already open for reading (the converter opens it itself, to
// know which file it read); errors name the file by its fileName().
void DecodeBmpFile(QFile& file, const PixelAllocator& allocate);

// Decodes bytes already in memory; name is used in error messages only.
void DecodeBmp(std::span<const std::uint8_t> bytes, const QString& name, const PixelAllocator& allocate);
