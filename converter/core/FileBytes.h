#pragma once

// Reading a picture file's bytes at known offsets, for the bitmap and TGA
// readers. A short read is not an error here: what it means (and what is
// cleared before saying so) is each reader's own.

#include <QFile>
#include <cstdint>
#include <optional>
#include <string>

// Opens the file read-only and unbuffered (every read goes straight into its
// destination). Empty when it is open, else the reason it cannot be read:
// "file not found" or "cannot read file".
std::optional<std::string> OpenForReading(QFile& file);

// Reads exactly `size` bytes at `offset` into `to`; false when the file ends
// first, e.g. because it shrank since its size was taken. Loops, since one
// read of an unbuffered file may return fewer bytes than asked for.
bool ReadBytesAt(QFile& file, std::int64_t offset, void* to, std::int64_t size);
