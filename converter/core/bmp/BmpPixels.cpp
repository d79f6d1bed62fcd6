#include "BmpPixels.h"

#include <cstring>

namespace bmp {

namespace {

// Always 256 entries: colours the file does not define stay black, so any
// index of any depth can be looked up without a bounds check.
using Palette = std::array<std::array<std::uint8_t, 3>, 256>; // blue, green, red

Palette readPalette(const Layout& l, std::span<const std::uint8_t> bytes)
{
    Palette palette{};
    for (int i = 0; i < l.paletteEntries; ++i) {
        const std::uint8_t* entry = bytes.data() + std::size_t(i) * l.paletteEntrySize;
        palette[i] = {entry[0], entry[1], entry[2]};
    }
    return palette;
}

void decodePlainRow(const Layout& l, const Palette& palette, const std::uint8_t* in, std::uint8_t* out)
{
    const int width = l.width;
    const auto& [blue, green, red] = l.channels;
    switch (l.bitsPerPixel) {
    case 24: std::memcpy(out, in, std::size_t(width) * 3); return;
    case 16:
        for (int x = 0; x < width; ++x, out += 3) {
            const std::uint32_t v = le16(in + 2 * x);
            out[0] = blue(v);
            out[1] = green(v);
            out[2] = red(v);
        }
        return;
    case 32:
        for (int x = 0; x < width; ++x, out += 3) {
            const std::uint32_t v = le32(in + 4 * x);
            out[0] = blue(v);
            out[1] = green(v);
            out[2] = red(v);
        }
        return;
    default: { // 1, 2, 4 or 8 bits: palette indices, leftmost pixel in the high bits
        const int bits = l.bitsPerPixel;
        const unsigned indexMask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x, out += 3) {
            const std::int64_t bit = std::int64_t{x} * bits;
            const unsigned index = (in[bit >> 3] >> (8 - bits - (bit & 7))) & indexMask;
            std::memcpy(out, palette[index].data(), 3);
        }
        return;
    }
    }
}

// pixels holds l.pixelBytes bytes: every row of the file, padding included.
void decodePlain(const Layout& l, const Palette& palette, std::span<const std::uint8_t> pixels, std::uint8_t* buffer)
{
    for (int row = 0; row < l.height; ++row)
        decodePlainRow(l, palette, pixels.data() + row * l.rowBytes, l.picture().bufferRow(buffer, row, l.topDown));
}

// Writes RLE output into the buffer. Runs are cut at the end of their row and
// rows past the top are dropped, so no stream can reach outside the buffer.
class RleCanvas {
public:
    RleCanvas(const Layout& l, std::uint8_t* buffer)
        : m_buffer(buffer), m_width(l.width), m_height(l.height), m_stride(l.picture().rowBytes())
    {
    }
    void put(const std::uint8_t* bgr)
    {
        if (m_x >= m_width)
            return;
        if (m_y < m_height)
            std::memcpy(m_buffer + m_y * m_stride + std::int64_t{m_x} * 3, bgr, 3);
        ++m_x;
    }
    void endOfLine()
    {
        m_x = 0;
        m_y = std::min(m_y + 1, std::int64_t{m_height});
    }
    void move(int right, int up)
    {
        m_x = std::min(m_x + right, m_width);
        m_y = std::min(m_y + up, std::int64_t{m_height});
    }

private:
    std::uint8_t* m_buffer;
    int m_width;
    int m_height;
    std::int64_t m_stride;
    int m_x = 0;
    std::int64_t m_y = 0;
};

// RLE4, RLE8 and OS/2 RLE24. Pixels the stream skips (deltas, early
// end-of-line or end-of-bitmap) stay as they are: black in a cleared buffer.
void decodeRle(const Layout& l, const Palette& palette, std::span<const std::uint8_t> stream, std::uint8_t* buffer)
{
    RleCanvas canvas(l, buffer);
    std::size_t pos = 0;
    const auto need = [&](std::size_t n) {
        if (stream.size() - pos >= n)
            return;
        if (l.streamCapped)
            FailRead("corrupt RLE data (no end-of-bitmap in " + std::to_string(stream.size()) + " bytes)");
        FailRead("truncated pixel data (RLE data ends without end-of-bitmap)");
    };

    for (;;) {
        need(2);
        const int count = stream[pos];
        const int code = stream[pos + 1];
        pos += 2;
        if (count > 0) { // a run of one colour (RLE4: two alternating colours)
            switch (l.encoding) {
            case Encoding::Rle8:
                for (int i = 0; i < count; ++i)
                    canvas.put(palette[code].data());
                break;
            case Encoding::Rle4:
                for (int i = 0; i < count; ++i)
                    canvas.put(palette[i % 2 ? code & 0xF : code >> 4].data());
                break;
            default: { // RLE24: count, blue, green, red
                need(2);
                const std::uint8_t bgr[3] = {std::uint8_t(code), stream[pos], stream[pos + 1]};
                pos += 2;
                for (int i = 0; i < count; ++i)
                    canvas.put(bgr);
                break;
            }
            }
            continue;
        }
        switch (code) {
        case 0: canvas.endOfLine(); break;
        case 1: return;
        case 2:
            need(2);
            canvas.move(stream[pos], stream[pos + 1]);
            pos += 2;
            break;
        default: { // absolute mode: `code` pixels stored as they are, padded to 16 bits
            const std::size_t bytes = l.encoding == Encoding::Rle8   ? code
                                      : l.encoding == Encoding::Rle4 ? (code + 1) / 2
                                                                     : 3 * code;
            need(bytes + (bytes & 1));
            const std::uint8_t* in = stream.data() + pos;
            for (int i = 0; i < code; ++i) {
                switch (l.encoding) {
                case Encoding::Rle8: canvas.put(palette[in[i]].data()); break;
                case Encoding::Rle4: canvas.put(palette[i % 2 ? in[i / 2] & 0xF : in[i / 2] >> 4].data()); break;
                default: canvas.put(in + 3 * i); break;
                }
            }
            pos += bytes + (bytes & 1);
            break;
        }
        }
    }
}

} // namespace

void decodePixels(const Layout& l, std::span<const std::uint8_t> paletteBytes, std::span<const std::uint8_t> pixels,
                  std::uint8_t* buffer)
{
    const Palette palette = readPalette(l, paletteBytes);
    if (l.isRle())
        decodeRle(l, palette, pixels, buffer);
    else
        decodePlain(l, palette, pixels, buffer);
}

} // namespace bmp
