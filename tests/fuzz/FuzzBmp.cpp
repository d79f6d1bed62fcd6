// libFuzzer entry point for the bitmap reader.
#include "FuzzReader.h"
#include "core/bmp/BmpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzzReader<BmpError>(data, size, [](std::span<const std::uint8_t> bytes, const PixelAllocator& allocate) {
        DecodeBmp(bytes, QStringLiteral("fuzz.bmp"), allocate);
    });
}
