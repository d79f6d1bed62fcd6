#include "core/ScreenshotFormat.h"

#include "core/bmp/BmpDecoder.h"
#include "core/tga/TgaDecoder.h"

#include <QFile>
#include <algorithm>
#include <cstring>

namespace {

// The input formats. A reader of its own in converter/core/<format>/ and a
// row here are all a new format needs.
constexpr ScreenshotFormat kFormats[] = {
    {"bmp", "bitmap", true, "BM", DecodeBmpFile, nullptr},
    // The game's `screenshot` command writes TGA files, run-length encoded
    // or not. They have no mark at their start.
    {"tga", "TGA file", false, nullptr, DecodeTgaFile, ReadTgaLayout},
};

constexpr bool exactlyOneWithoutMark()
{
    return std::count_if(std::begin(kFormats), std::end(kFormats), [](const ScreenshotFormat& f) { return !f.magic; })
           == 1;
}

} // namespace

QString ScreenshotFormat::suffix() const { return QLatin1Char('.') + QLatin1String(extension); }

bool ScreenshotFormat::isNameOf(const QString& fileName) const
{
    return fileName.endsWith(suffix(), Qt::CaseInsensitive);
}

bool ScreenshotFormat::isMarkOf(QByteArrayView head) const { return magic && head.startsWith(QByteArrayView(magic)); }

std::int64_t ScreenshotFormat::ruleBytes(QFile& file) const
{
    return pictureOf ? pictureOf(file).bitmapFileBytes() : file.size();
}

namespace ScreenshotFormats {

std::span<const ScreenshotFormat> all() { return kFormats; }

const ScreenshotFormat* of(const QString& fileName)
{
    const auto match = std::find_if(std::begin(kFormats), std::end(kFormats),
                                    [&](const ScreenshotFormat& f) { return f.isNameOf(fileName); });
    return match == std::end(kFormats) ? nullptr : match;
}

const ScreenshotFormat* withExtension(QStringView extension)
{
    const auto match = std::find_if(std::begin(kFormats), std::end(kFormats), [&](const ScreenshotFormat& f) {
        return extension.compare(QLatin1String(f.extension), Qt::CaseInsensitive) == 0;
    });
    return match == std::end(kFormats) ? nullptr : match;
}

const ScreenshotFormat& startingWith(QByteArrayView head)
{
    static_assert(exactlyOneWithoutMark(), "a file of no known start must have one format to be taken for");
    const auto marked = std::find_if(std::begin(kFormats), std::end(kFormats),
                                     [&](const ScreenshotFormat& f) { return f.isMarkOf(head); });
    if (marked != std::end(kFormats))
        return *marked;
    return *std::find_if(std::begin(kFormats), std::end(kFormats), [](const ScreenshotFormat& f) { return !f.magic; });
}

qsizetype markLength()
{
    std::size_t longest = 0;
    for (const ScreenshotFormat& f : kFormats)
        longest = std::max(longest, f.magic ? std::strlen(f.magic) : 0);
    return qsizetype(longest);
}

} // namespace ScreenshotFormats
