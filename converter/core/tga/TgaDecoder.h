#pragma once

#include "core/PixelLayout.h"
#include "core/ReadError.h"

#include <QString>
#include <cstdint>
#include <span>
#include <string>

class QFile;

// Our own reader of Truevision TGA files (the game's `screenshot` command
// writes them). It writes straight into the picture layout every reader
// fills (PixelLayout).
//
// Read, each uncompressed (image types 1, 2, 3) and run-length encoded
// (9, 10, 11): true colour of 24 and 32 bits per pixel, 8-bit greyscale,
// and 8-bit indices into a colour map of 24- or 32-bit entries whose first
// entry may stand for any index. Alpha is ignored. Rows bottom-up or
// top-down, pixels left-to-right or right-to-left. An image ID, and a colour
// map in a picture that does not use one, are skipped. RLE packets may run
// on into the next row.
// Refused: 15- and 16-bit pixels or colour-map entries, 16-bit indices,
// Huffman-coded and interleaved pictures. A colour-map index outside the
// map's entries is an error ("bad colour map"), not a made-up colour: every
// writer maps every index it writes, so such a file is damaged.
//
// The header is checked (sizes in 64 bits, the image ID, colour map and
// pixel data inside the real file, the pixel count capped at kMaxPixels,
// an RLE stream long enough to hold every pixel) before the allocator is
// called. Every pixel must come from the file: a stream that ends early, or
// a packet that runs past the last pixel, is an error. Reasons: "file not
// found", "cannot read file", "file is empty", "not a TGA file", "truncated
// header", "unsupported image type", "bad dimensions", "dimensions too
// large", "unsupported bit depth", "bad colour map", "truncated pixel data",
// "corrupt RLE data", sometimes followed by details in brackets.

// Raised for every file that cannot be decoded. what() names the file and
// the reason, e.g. "shot.tga: truncated pixel data"; reason() is the reason
// alone, for a line that names the file already.
class TgaError : public ReadError {
public:
    using ReadError::ReadError;
};

// Decodes a file into the buffer the allocator returns (see PixelAllocator:
// every byte is written; after an error the content is unspecified but
// never stale). Throws TgaError (or what the allocator throws). The common
// screenshot layout (24 bits, uncompressed, bottom-up) is read in one call
// straight into the buffer, a top-down one row by row; other layouts are
// read into memory first.
void DecodeTgaFile(const QString& path, const PixelAllocator& allocate);

// Decodes a file already open for reading (the converter opens it itself, to
// know which file it read); errors name the file by its fileName().
void DecodeTgaFile(QFile& file, const PixelAllocator& allocate);

// Decodes bytes already in memory; name is used in error messages only.
void DecodeTga(std::span<const std::uint8_t> bytes, const QString& name, const PixelAllocator& allocate);

// The picture's size as the header of a file open for reading states it,
// once the header is checked. Throws TgaError. A TGA file may be run-length
// encoded, so the size rule for screenshots measures its picture.
PixelLayout ReadTgaLayout(QFile& file);
