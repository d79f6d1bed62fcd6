#pragma once

#include "core/PixelLayout.h"

#include <QString>
#include <cstdint>
#include <span>

class QFile;

// One input format of screenshots, a row of the table in
// ScreenshotFormat.cpp. Everything the programs decide by a file's format
// is a field here, so that a new format is its reader's folder and a row.
struct ScreenshotFormat {
    // The end of the file's name, in any case: ".bmp".
    const char* extension;
    // What a line calls such a file: "bitmap".
    const char* noun;
    // Whether the window lists these files too. The window lists the game's
    // bitmaps, "*.bmp"; the command line converts every format.
    bool listedByWindow;
    // Decodes a file open for reading into the buffer the allocator returns.
    // Throws ReadError (or what the allocator throws).
    void (*decode)(QFile& file, const PixelAllocator& allocate);
    // The picture a file open for reading holds, from its header, for a
    // format whose files may be compressed: the size rule then measures the
    // same picture as a bitmap file. nullptr: it measures the file's length.
    PixelLayout (*pictureOf)(QFile& file);

    // The size in bytes the screenshot rule measures (ScreenshotList::ruleSkip).
    // Throws ReadError when the header cannot be read.
    std::int64_t ruleBytes(QFile& file) const;
};

namespace ScreenshotFormats {

// Every format, in the table's order.
std::span<const ScreenshotFormat> all();

// The format a file's name has, or nullptr.
const ScreenshotFormat* of(const QString& fileName);

} // namespace ScreenshotFormats
