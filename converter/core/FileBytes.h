#pragma once

// What the bitmap and TGA readers share about files: reading bytes at known
// offsets, asking for the picture's buffer, reading rows stored like the
// buffer's straight into it, and the entry points that name the file in the
// reader's error.

#include "core/PixelLayout.h"
#include "core/ReadError.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Opens the file read-only and unbuffered (every read goes straight into its
// destination). Empty when it is open, else the reason it cannot be read:
// "file not found" or "cannot read file".
std::optional<std::string> OpenForReading(QFile& file);

// Reads exactly `size` bytes at `offset` into `to`; false when the file ends
// first, e.g. because it shrank since its size was taken. Loops, since one
// read of an unbuffered file may return fewer bytes than asked for.
bool ReadBytesAt(QFile& file, std::int64_t offset, void* to, std::int64_t size);

// The same into a block of its own; "truncated pixel data" when the file
// ends first (its header said the bytes were there).
std::vector<std::uint8_t> ReadBlock(QFile& file, std::int64_t offset, std::int64_t size);

// Asks the caller for the picture's buffer; a null answer is a failure.
// Called only once every header check has passed.
std::uint8_t* AllocatePixels(const PixelLayout& picture, const PixelAllocator& allocate);

// How a file stores pixels that are already the buffer's (24-bit
// blue-green-red): where the rows start, each row's length in the file (the
// pixels alone, or padded like the buffer's rows) and their order.
struct StoredRows {
    std::int64_t offset = 0;
    std::int64_t rowBytes = 0;
    bool topDown = false;
};

// Reads such rows straight into the buffer: a bottom-up file in one read
// (rows shorter than the buffer's then move up to their padded place, last
// row first so that none is overwritten before it moved), a top-down one row
// by row; then zeros the padding. "truncated pixel data" when the file
// shrank since its size was taken.
void ReadStoredRows(QFile& file, const StoredRows& rows, const PixelLayout& picture, std::uint8_t* buffer);

// The readers' entry points: decode(file) reads an open file and fails with
// ReadFailure; what comes out is the reader's own Error, naming the file.
template <typename Error, typename Decode>
void DecodeOpenFile(QFile& file, Decode&& decode)
{
    try {
        decode(file);
    } catch (const ReadFailure& failure) {
        throw Error(file.fileName(), failure.what());
    }
}

template <typename Error, typename Decode>
void DecodeNamedFile(const QString& path, Decode&& decode)
{
    QFile file(path);
    if (const std::optional<std::string> reason = OpenForReading(file))
        throw Error(path, *reason);
    DecodeOpenFile<Error>(file, decode);
}

// The same for bytes already in memory: decode() fails with ReadFailure, and
// name stands for the file in the error.
template <typename Error, typename Decode>
void DecodeNamedBytes(const QString& name, Decode&& decode)
{
    try {
        decode();
    } catch (const ReadFailure& failure) {
        throw Error(name, failure.what());
    }
}
