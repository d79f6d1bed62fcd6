#include "core/PixelLayout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

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
