// libFuzzer entry point for the bitmap reader: any bytes, an allocator that
// hands out exactly the promised size (so ASan sees every stray write), and
// only BmpError may come out.
#include "core/bmp/BmpDecoder.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> pixels;
    const BmpAllocator allocate = [&pixels](int width, int height) {
        pixels.resize(std::size_t((width * 3 + 3) & ~3) * std::size_t(height));
        return pixels.data();
    };
    try {
        DecodeBmp(std::span(data, size), QStringLiteral("fuzz.bmp"), allocate);
    } catch (const BmpError&) {
        // Refusing a file is the expected answer to most inputs.
    }
    return 0;
}
