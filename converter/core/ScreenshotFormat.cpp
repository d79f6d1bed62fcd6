#include "core/ScreenshotFormat.h"

#include "core/bmp/BmpDecoder.h"
#include "core/tga/TgaDecoder.h"

#include <QFile>

namespace {

// The input formats. A reader of its own in converter/core/<format>/ and a
// row here are all a new format needs.
const ScreenshotFormat kFormats[] = {
    {".bmp", "bitmap", true, DecodeBmpFile, nullptr},
    // The game's `screenshot` command writes TGA files, run-length encoded
    // or not.
    {".tga", "TGA file", false, DecodeTgaFile, ReadTgaLayout},
};

} // namespace

std::int64_t ScreenshotFormat::ruleBytes(QFile& file) const
{
    return pictureOf ? pictureOf(file).bitmapFileBytes() : file.size();
}

namespace ScreenshotFormats {

std::span<const ScreenshotFormat> all() { return kFormats; }

const ScreenshotFormat* of(const QString& fileName)
{
    for (const ScreenshotFormat& format : kFormats) {
        if (fileName.endsWith(QLatin1String(format.extension), Qt::CaseInsensitive))
            return &format;
    }
    return nullptr;
}

} // namespace ScreenshotFormats
