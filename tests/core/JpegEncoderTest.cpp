// The encoder's codings: each writes the same quantised picture in its own
// way, for the same pixels.
#include "core/JpegEncoder.h"
#include "TestUtil.h"

#include <QImage>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <tuple>

namespace {

JpegEncoder::Pixels pixelsOf(const QImage& bgr)
{
    return {bgr.constBits(), bgr.width(), bgr.height(), static_cast<int>(bgr.bytesPerLine()), false};
}

// The frame header's marker: 0xC0 baseline, 0xC2 progressive; 0 when the
// segments before the picture data hold none.
int frameMarker(std::span<const std::uint8_t> jpeg)
{
    for (std::size_t i = 2; i + 4 <= jpeg.size() && jpeg[i] == 0xFF; i += 2 + (jpeg[i + 2] << 8 | jpeg[i + 3])) {
        const int marker = jpeg[i + 1];
        if (marker == 0xDA) // start of scan
            break;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker;
    }
    return 0;
}

} // namespace

// Each file decodes to exactly the pixels of the standard tables' file (the
// one the window's writer test pins), and the optimised ones are smaller.
TEST(JpegEncoder, EveryCodingDecodesToTheStandardTablesPixels)
{
    using Coding = JpegEncoder::Coding;
    const std::tuple<const char*, Coding, int> rows[] = {
        // name, coding, frame marker
        {"optimised tables", Coding::OptimisedTables, 0xC0}, // baseline
        {"progressive", Coding::Progressive, 0xC2},
    };
    // Noise reaches the longest Huffman codes; a gradient the longest runs of zeros.
    QImage noise(68, 45, QImage::Format_BGR888); // whole 32-bit words per row
    QRandomGenerator rng(5);
    for (int y = 0; y < noise.height(); ++y)
        rng.fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), noise.width() * 3 / 4);
    const std::pair<const char*, QImage> pictures[] = {
        {"gradient", fwtest::testPattern(157, 93).convertToFormat(QImage::Format_BGR888)},
        {"noise", noise},
        {"one pixel", fwtest::testPattern(1, 1).convertToFormat(QImage::Format_BGR888)},
    };
    JpegEncoder standard(Coding::StandardTables);
    for (const auto& [label, coding, marker] : rows) {
        JpegEncoder encoder(coding);
        for (const auto& [name, picture] : pictures) {
            for (int quality : {50, 90, 100}) {
                const auto reference = standard.encode(pixelsOf(picture), quality);
                const QImage expected = fwtest::decodeJpeg(reference);
                const std::size_t referenceSize = reference.size();
                const auto jpeg = encoder.encode(pixelsOf(picture), quality);
                SCOPED_TRACE(std::string(label) + ", " + name + ", q" + std::to_string(quality));
                ASSERT_FALSE(expected.isNull());
                EXPECT_EQ(fwtest::decodeJpeg(jpeg), expected);
                EXPECT_LT(jpeg.size(), referenceSize);
                EXPECT_EQ(frameMarker(jpeg), marker);
            }
        }
    }
}
