#pragma once

#include "core/PixelLayout.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <span>

class QFile;

// One input format of screenshots, a row of the table in
// ScreenshotFormat.cpp. Everything the programs decide by a file's format
// is a field here, so that a new format is its reader's folder and a row.
struct ScreenshotFormat {
    // Its files' extension without the dot, as the programs write it when
    // they name such a file: "bmp". A name matches it in any case.
    const char* extension;
    // What a line calls such a file: "bitmap".
    const char* noun;
    // Whether the window lists these files too. The window lists the game's
    // bitmaps, "*.bmp"; the command line converts every format.
    bool listedByWindow;
    // The bytes every file of the format starts with: "BM". nullptr for a
    // format without such a mark (TGA); the one such format is what a file
    // of no known start is taken for.
    const char* magic;
    // Decodes a file open for reading into the buffer the allocator returns.
    // Throws ReadError (or what the allocator throws).
    void (*decode)(QFile& file, const PixelAllocator& allocate);
    // The picture a file open for reading holds, from its header, for a
    // format whose files may be compressed: the size rule then measures the
    // same picture as a bitmap file. nullptr: it measures the file's length.
    PixelLayout (*pictureOf)(QFile& file);

    // The end of a file name of the format: ".bmp".
    QString suffix() const;
    // Whether a file's name ends in the format's extension, in any case.
    bool isNameOf(const QString& fileName) const;
    // Whether a file that starts with `head` carries the format's mark.
    // Always false for a format without one.
    bool isMarkOf(QByteArrayView head) const;

    // The size in bytes the screenshot rule measures (ScreenshotList::ruleSkip).
    // Throws ReadError when the header cannot be read.
    std::int64_t ruleBytes(QFile& file) const;
};

namespace ScreenshotFormats {

// Every format, in the table's order.
std::span<const ScreenshotFormat> all();

// The format a file's name has, or nullptr.
const ScreenshotFormat* of(const QString& fileName);

// The format of an extension without its dot ("bmp", "TGA"), or nullptr.
const ScreenshotFormat* withExtension(QStringView extension);

// The format a file's first bytes say it is: the one whose mark they start
// with, else the format without a mark. For a file whose name no longer
// tells, such as one kept under a private name.
const ScreenshotFormat& startingWith(QByteArrayView head);

// How many first bytes startingWith() needs to decide.
qsizetype markLength();

} // namespace ScreenshotFormats
