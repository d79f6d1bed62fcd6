#pragma once

// What each reader's libFuzzer entry point does: any bytes, an allocator
// that hands out exactly the promised size (so ASan sees every stray write),
// and only the reader's own error may come out.
#include "core/PixelLayout.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

template <typename ReaderError, typename Decode>
int fuzzReader(const std::uint8_t* data, std::size_t size, const Decode& decode)
{
    std::vector<std::uint8_t> pixels;
    const PixelAllocator allocate = [&pixels](int width, int height) {
        pixels.resize(std::size_t(PixelLayout{width, height}.bytes()));
        return pixels.data();
    };
    try {
        decode(std::span(data, size), allocate);
    } catch (const ReaderError&) {
        // Refusing a file is the expected answer to most inputs.
    }
    return 0;
}
