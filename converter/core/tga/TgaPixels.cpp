#include "TgaPixels.h"

#include <array>
#include <cstring>
#include <string>

namespace tga {

namespace {

// Turns one stored pixel into blue, green, red. Alpha, when stored, is
// the fourth byte and is dropped.
class PixelReader {
public:
    PixelReader(const Layout& l, std::span<const std::uint8_t> mapBytes) : m_kind(l.kind)
    {
        if (m_kind != Kind::Mapped)
            return;
        m_mapFirst = l.mapFirst;
        m_mapLast = l.mapFirst + l.mapEntries - 1;
        for (int i = 0; i < l.mapEntries; ++i)
            std::memcpy(m_map[std::size_t(l.mapFirst + i)].data(), mapBytes.data() + std::size_t(i) * l.mapEntryBytes,
                        3);
    }

    void operator()(const std::uint8_t* in, std::uint8_t* out) const
    {
        switch (m_kind) {
        case Kind::TrueColour: std::memcpy(out, in, 3); return;
        case Kind::Grey: out[0] = out[1] = out[2] = in[0]; return;
        case Kind::Mapped:
            if (in[0] < m_mapFirst || in[0] > m_mapLast)
                FailRead("bad colour map (index " + std::to_string(in[0]) + " outside entries "
                         + std::to_string(m_mapFirst) + " to " + std::to_string(m_mapLast) + ")");
            std::memcpy(out, m_map[in[0]].data(), 3);
            return;
        }
    }

private:
    Kind m_kind;
    int m_mapFirst = 0;
    int m_mapLast = -1;
    std::array<std::array<std::uint8_t, 3>, 256> m_map{}; // blue, green, red
};

// Hands out the buffer's pixels in the file's order: row after row in the
// stored row order, each row in the stored direction. Positions are offsets,
// never pointers outside the buffer.
class Canvas {
public:
    Canvas(const Layout& l, std::uint8_t* buffer) : m_l(l), m_buffer(buffer) { startRow(); }

    std::uint8_t* next()
    {
        if (m_x == m_l.width) {
            ++m_fileRow;
            startRow();
        }
        ++m_x;
        std::uint8_t* pixel = m_buffer + m_at;
        m_at += m_step;
        return pixel;
    }

private:
    void startRow()
    {
        m_x = 0;
        m_at = m_l.picture().bufferRow(m_buffer, m_fileRow, m_l.topDown) - m_buffer;
        m_step = 3;
        if (m_l.rightToLeft) {
            m_at += std::int64_t{m_l.width - 1} * 3;
            m_step = -3;
        }
    }

    const Layout& m_l;
    std::uint8_t* m_buffer;
    int m_fileRow = 0;
    int m_x = 0;
    std::int64_t m_at = 0;
    std::int64_t m_step = 3;
};

void decodePlain(const Layout& l, const PixelReader& read, std::span<const std::uint8_t> pixels, std::uint8_t* buffer)
{
    if (l.kind == Kind::TrueColour && l.bytesPerPixel == 3 && !l.rightToLeft) {
        const std::size_t rowBytes = std::size_t(l.width) * 3;
        for (int row = 0; row < l.height; ++row)
            std::memcpy(l.picture().bufferRow(buffer, row, l.topDown), pixels.data() + row * rowBytes, rowBytes);
        return;
    }
    Canvas canvas(l, buffer);
    const std::uint8_t* in = pixels.data();
    for (std::int64_t i = 0; i < l.pixels(); ++i, in += l.bytesPerPixel)
        read(in, canvas.next());
}

// Each packet starts with a byte: the high bit set is a run (one stored
// pixel, repeated), clear a raw packet (pixels stored as they are); the low
// seven bits are the pixel count less one. A packet may run on into the
// next row but never past the last pixel.
void decodeRle(const Layout& l, const PixelReader& read, std::span<const std::uint8_t> stream, std::uint8_t* buffer)
{
    Canvas canvas(l, buffer);
    const std::size_t bpp = std::size_t(l.bytesPerPixel);
    std::size_t pos = 0;
    std::int64_t left = l.pixels();
    const auto need = [&](std::size_t bytes) {
        if (stream.size() - pos < bytes)
            FailRead("truncated pixel data (RLE data ends at pixel " + std::to_string(l.pixels() - left) + " of "
                     + std::to_string(l.pixels()) + ")");
    };
    while (left > 0) {
        need(1);
        const int header = stream[pos++];
        const int count = (header & 0x7F) + 1;
        if (count > left)
            FailRead("corrupt RLE data (packet of " + std::to_string(count) + " pixels at pixel "
                     + std::to_string(l.pixels() - left) + " of " + std::to_string(l.pixels()) + ")");
        if (header & 0x80) {
            need(bpp);
            std::uint8_t colour[3];
            read(stream.data() + pos, colour);
            pos += bpp;
            for (int i = 0; i < count; ++i)
                std::memcpy(canvas.next(), colour, 3);
        } else {
            need(bpp * std::size_t(count));
            for (int i = 0; i < count; ++i, pos += bpp)
                read(stream.data() + pos, canvas.next());
        }
        left -= count;
    }
}

} // namespace

void decodePixels(const Layout& l, std::span<const std::uint8_t> mapBytes, std::span<const std::uint8_t> pixels,
                  std::uint8_t* buffer)
{
    l.picture().clearPadding(buffer);
    const PixelReader read(l, mapBytes);
    if (l.rle)
        decodeRle(l, read, pixels, buffer);
    else
        decodePlain(l, read, pixels, buffer);
}

} // namespace tga
