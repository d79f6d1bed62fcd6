#include "core/PixelLayout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// The rows of the platform's bitmaps at every alignment and depth: the
// readers' buffer is the 24-bit case, a bitmap file's rows the others.
TEST(PixelLayout, RowsArePaddedToWholeWords)
{
    const struct {
        int width;
        int bitsPerPixel;
        std::int64_t rowBytes;
    } rows[] = {
        {640, 24, 1920}, {1, 24, 4}, {3, 24, 12}, {5, 24, 16}, {1, 1, 4},
        {32, 1, 4},      {33, 1, 8}, {7, 4, 4},   {9, 8, 12},  {3, 16, 8},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PixelLayout::paddedRowBytes(r.width, r.bitsPerPixel), r.rowBytes)
            << r.width << " x " << r.bitsPerPixel;
    // The pad bytes the JPEG writer is told of.
    for (const auto& [width, pad] : {std::pair{640, 0}, {1, 1}, {3, 3}, {5, 1}})
        EXPECT_EQ((PixelLayout{width, 1}.padBytes()), pad) << width;
}

// A file's first row is the picture's top row when the file is stored top
// down, its bottom row otherwise; the buffer holds the bottom row first.
TEST(PixelLayout, AFilesRowsLandBottomUpWhateverTheFilesOrder)
{
    const PixelLayout picture{2, 3};
    std::vector<std::uint8_t> buffer(std::size_t(picture.bytes()));
    std::uint8_t* const start = buffer.data();
    EXPECT_EQ(picture.row(start, 0), start + 2 * 8) << "the top row is last in memory";
    EXPECT_EQ(picture.bufferRow(start, 0, true), picture.row(start, 0));
    EXPECT_EQ(picture.bufferRow(start, 0, false), start) << "a bottom-up file's first row is the first in memory";
    EXPECT_EQ(picture.bufferRow(start, 2, false), picture.row(start, 0));
}

TEST(PixelLayout, ClearingThePaddingLeavesThePixels)
{
    const PixelLayout picture{3, 2};
    std::vector<std::uint8_t> buffer(std::size_t(picture.bytes()), 0xAB);
    picture.clearPadding(buffer.data());
    for (std::size_t i = 0; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], i % 12 < 9 ? 0xAB : 0) << i;
}

// A fill that fails leaves zeros, so a reused buffer never shows the
// previous picture, and the error goes on to the caller.
TEST(PixelLayout, AFailedFillLeavesZerosAndTheError)
{
    const PixelLayout picture{2, 2};
    std::vector<std::uint8_t> buffer(std::size_t(picture.bytes()), 0xAB);
    EXPECT_THROW(FillOrClear(picture, buffer.data(),
                             [&] {
                                 buffer[0] = 1;
                                 throw std::runtime_error("truncated");
                             }),
                 std::runtime_error);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(buffer.size(), 0));

    std::fill(buffer.begin(), buffer.end(), 0xAB);
    FillOrClear(picture, buffer.data(), [&] { buffer[0] = 1; });
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], 0xAB) << "a fill that succeeds is left as it wrote";
}

} // namespace
