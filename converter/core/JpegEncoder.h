#pragma once

#include <cstdint>
#include <memory>
#include <span>

// Encodes 24-bit blue-green-red pixels into JPEG bytes in memory, with the
// product's encoder settings (full-resolution colour, the accurate DCT, the
// coding chosen in docs/jpeg-defaults.md). One encoder per thread: it keeps
// its compressor and output buffer between pictures.
class JpegEncoder {
public:
    struct Pixels {
        const std::uint8_t* bgr = nullptr;
        int width = 0;
        int height = 0;
        int pitch = 0;         // bytes from one row to the next, padding included
        bool bottomUp = false; // rows stored bottom row first, as in a DIB section
    };

    // How the quantised picture is written. All three decode to the very
    // same pixels; they differ only in file size and encoding time
    // (docs/jpeg-defaults.md has the figures).
    enum class Coding {
        StandardTables,  // baseline, the standard Huffman tables: one pass, the default
        OptimisedTables, // baseline, Huffman tables made for each picture: 3.5 to 13%
                         // fewer bytes for two to three times the time
        Progressive,     // progressive scans with optimised tables: 8 to 14% fewer
                         // bytes for five to seven times the time
    };

    explicit JpegEncoder(Coding coding = Coding::StandardTables);
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // The JPEG file's bytes, valid until the next call. quality 0 to 100
    // (0 encodes as the lowest the encoder knows, 1). Throws
    // std::runtime_error when the pixels cannot be encoded; the encoder
    // stays usable for the next picture.
    std::span<const std::uint8_t> encode(const Pixels& pixels, int quality);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
