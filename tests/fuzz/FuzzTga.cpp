// libFuzzer entry point for the TGA reader.
#include "FuzzReader.h"
#include "core/tga/TgaDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzzReader<TgaError>(data, size, [](std::span<const std::uint8_t> bytes, const PixelAllocator& allocate) {
        DecodeTga(bytes, QStringLiteral("fuzz.tga"), allocate);
    });
}
