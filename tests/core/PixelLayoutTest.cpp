#include "core/PixelLayout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// The platform's row rule at every alignment and depth (the buffer is its
// 24-bit case), and the pad bytes the JPEG writer is told of.
TEST(PixelLayout, RowsArePaddedToWholeWords)
{
    const int rows[][4] = {{640, 24, 1920, 0}, {1, 24, 4, 1}, {3, 24, 12, 3}, {5, 24, 16, 1},
                           {33, 1, 8, -1},     {7, 4, 4, -1}, {3, 16, 8, -1}};
    for (const auto& [width, bits, rowBytes, pad] : rows) {
        EXPECT_EQ(PixelLayout::paddedRowBytes(width, bits), rowBytes) << width << " x " << bits;
        if (bits == 24) {
            EXPECT_EQ((PixelLayout{width, 1}.padBytes()), pad) << width;
        }
    }
}

// A file's rows land bottom row first whatever the file's order, and a fill
// that fails leaves zeros, never the previous picture of a reused buffer.
TEST(PixelLayout, RowsLandBottomUpAndAFailedFillLeavesZeros)
{
    const PixelLayout picture{2, 3};
    std::vector<std::uint8_t> buffer(std::size_t(picture.bytes()), 0xAB);
    std::uint8_t* const start = buffer.data();
    EXPECT_EQ(picture.bufferRow(start, 0, true), start + 2 * 8) << "a top-down file's first row is the top";
    EXPECT_EQ(picture.bufferRow(start, 0, false), start) << "a bottom-up file's first row is the bottom";
    const auto fail = [&] {
        buffer[0] = 1;
        throw std::runtime_error("truncated");
    };
    EXPECT_THROW(FillOrClear(picture, start, fail), std::runtime_error);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(buffer.size(), 0));
}

} // namespace
