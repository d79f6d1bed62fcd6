#include "core/JpegEncoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio> // jpeglib.h uses FILE without including its header
#include <cstdlib>
#include <stdexcept>

#include <jerror.h>
#include <jpeglib.h>

// Settings chosen by measurement on game screenshots (docs/jpeg-defaults.md):
// full-resolution colour keeps the HUD's and the textures' coloured edges and
// beats subsampled colour on size for the same fidelity; the accurate DCT
// costs next to nothing with SIMD and keeps the detail that the fast one
// loses. The standard Huffman tables are the default because libjpeg-turbo
// writes them with SIMD code in one pass, while tables made for the picture
// need the whole picture's coefficients in memory and a first pass that
// gathers their statistics in plain C: on game scenes, 3.5% fewer bytes for
// 1.7 times the instructions and nearly three times the CPU time.
//
// The libjpeg API is used directly because it is the one that offers
// optimised tables on their own (the TurboJPEG 2 API reaches them only
// through progressive coding or a process-wide environment variable). With
// the standard tables it writes the same bytes as tjCompress2 with the same
// settings. Its error path is setjmp/longjmp: the jump is taken only inside
// the C-style functions below, which hold nothing with a destructor, so it
// skips no clean-up; the C++ caller turns the recorded message into an
// exception.

namespace {

struct ErrorTrap {
    jpeg_error_mgr mgr; // first: libjpeg hands back a pointer to it
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

ErrorTrap& trapOf(j_common_ptr cinfo) { return *reinterpret_cast<ErrorTrap*>(cinfo->err); }

// Messages are kept for the exception, never printed.
void keepMessage(j_common_ptr cinfo) { cinfo->err->format_message(cinfo, trapOf(cinfo).message); }

[[noreturn]] void leave(j_common_ptr cinfo)
{
    keepMessage(cinfo);
    std::longjmp(trapOf(cinfo).jump, 1);
}

// The file grows in one malloc'd block that the encoder keeps between
// pictures; running out of memory is reported like any libjpeg error.
struct Output {
    jpeg_destination_mgr mgr; // first: libjpeg hands back a pointer to it
    unsigned char* data;
    std::size_t capacity;
    std::size_t size;
};

Output& outputOf(j_compress_ptr cinfo) { return *reinterpret_cast<Output*>(cinfo->dest); }

// Hands libjpeg the space after the first `used` bytes, doubling the block
// when there is none: libjpeg writes a byte before it asks for more.
void makeRoom(j_compress_ptr cinfo, std::size_t used)
{
    Output& out = outputOf(cinfo);
    if (used == out.capacity) {
        const std::size_t capacity = std::max<std::size_t>(2 * out.capacity, 256 * 1024);
        auto* data = static_cast<unsigned char*>(std::realloc(out.data, capacity));
        if (!data) {
            cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
            cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
        }
        out.data = data;
        out.capacity = capacity;
    }
    out.mgr.next_output_byte = out.data + used;
    out.mgr.free_in_buffer = out.capacity - used;
}

void startOutput(j_compress_ptr cinfo) { makeRoom(cinfo, 0); }

// Called when the block is full, whatever its pointers say.
boolean growOutput(j_compress_ptr cinfo)
{
    makeRoom(cinfo, outputOf(cinfo).capacity);
    return TRUE;
}

void finishOutput(j_compress_ptr cinfo)
{
    Output& out = outputOf(cinfo);
    out.size = out.capacity - out.mgr.free_in_buffer;
}

bool create(jpeg_compress_struct& cinfo, ErrorTrap& trap)
{
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = leave;
    trap.mgr.output_message = keepMessage;
    if (setjmp(trap.jump))
        return false;
    jpeg_create_compress(&cinfo);
    return true;
}

// One picture from first row to last. False when libjpeg gave up: the trap
// holds the reason and the compressor needs jpeg_abort_compress.
bool compress(jpeg_compress_struct& cinfo, ErrorTrap& trap, const JpegEncoder::Pixels& pixels, int quality,
              JpegEncoder::Coding coding)
{
    if (setjmp(trap.jump))
        return false;
    cinfo.image_width = static_cast<JDIMENSION>(pixels.width);
    cinfo.image_height = static_cast<JDIMENSION>(pixels.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo); // YCbCr with a JFIF header
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    for (int c = 0; c < cinfo.num_components; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    cinfo.optimize_coding = coding != JpegEncoder::Coding::StandardTables;
    if (coding == JpegEncoder::Coding::Progressive)
        jpeg_simple_progression(&cinfo);

    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const auto line = static_cast<std::ptrdiff_t>(cinfo.next_scanline);
        const std::ptrdiff_t y = pixels.bottomUp ? pixels.height - 1 - line : line;
        JSAMPROW row = const_cast<JSAMPROW>(pixels.bgr + y * pixels.pitch); // only read
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

} // namespace

struct JpegEncoder::State {
    jpeg_compress_struct cinfo{};
    ErrorTrap trap{};
    Output output{};
    Coding coding = Coding::StandardTables;
    bool created = false;

    ~State()
    {
        if (created)
            jpeg_destroy_compress(&cinfo);
        std::free(output.data);
    }
};

JpegEncoder::JpegEncoder(Coding coding) : m_state(std::make_unique<State>())
{
    State& s = *m_state;
    s.coding = coding;
    s.created = create(s.cinfo, s.trap);
    if (!s.created)
        throw std::runtime_error(s.trap.message);
    s.output.mgr.init_destination = startOutput;
    s.output.mgr.empty_output_buffer = growOutput;
    s.output.mgr.term_destination = finishOutput;
    s.cinfo.dest = &s.output.mgr;
}

JpegEncoder::~JpegEncoder() = default;

std::span<const std::uint8_t> JpegEncoder::encode(const Pixels& pixels, int quality)
{
    if (!pixels.bgr || pixels.width <= 0 || pixels.height <= 0 || pixels.pitch < pixels.width * 3)
        throw std::runtime_error("no pixels to encode");
    State& s = *m_state;
    if (!compress(s.cinfo, s.trap, pixels, std::clamp(quality, 1, 100), s.coding)) {
        jpeg_abort_compress(&s.cinfo);
        throw std::runtime_error(s.trap.message);
    }
    return {s.output.data, s.output.size};
}
