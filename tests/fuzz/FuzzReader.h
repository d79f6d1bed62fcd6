#pragma once

// What each reader's libFuzzer entry point does: any bytes, an allocator
// that hands out exactly the promised size (so ASan sees every stray write),
// and only the reader's own error may come out.
#include "core/bmp/BmpDecoder.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

template <typename ReaderError, typename Decode>
int fuzzReader(const std::uint8_t* data, std::size_t size, const Decode& decode)
{
    std::vector<std::uint8_t> pixels;
    const BmpAllocator allocate = [&pixels](int width, int height) {
        pixels.resize(std::size_t((width * 3 + 3) & ~3) * std::size_t(height));
        return pixels.data();
    };
    try {
        decode(std::span(data, size), allocate);
    } catch (const ReaderError&) {
        // Refusing a file is the expected answer to most inputs.
    }
    return 0;
}
