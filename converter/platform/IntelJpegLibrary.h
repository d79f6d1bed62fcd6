#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <span>

// A thin JPEG library with the three calls and the record the writer uses
// (init, write the whole image to a file, free), built on libjpeg-turbo.
//
// The record describes the source pixels (DIB side) and the file to write
// (JPG side). A negative DIBHeight means the rows are stored bottom-up, as
// in a DIB section; the JPEG always comes out upright.

using IJLERR = int;
inline constexpr IJLERR IJL_OK = 0;
inline constexpr IJLERR IJL_INVALID_ARGUMENT = -1;
inline constexpr IJLERR IJL_MEMORY_ERROR = -2;
inline constexpr IJLERR IJL_ENCODE_ERROR = -3;
inline constexpr IJLERR IJL_FILE_ERROR = -4;
inline constexpr IJLERR IJL_NOT_INITIALISED = -5;
// Only with JPGNoReplace: an entry of that name exists, nothing was written.
inline constexpr IJLERR IJL_FILE_EXISTS = -6;

// I/O type: encode the whole image into the file named by JPGFile.
inline constexpr int IJL_JFILE_WRITEWHOLEIMAGE = 8;

enum class IJL_COLOR { BGR, RGB, YCBCR };

struct JPEG_CORE_PROPERTIES {
    const std::uint8_t* DIBBytes = nullptr;
    std::int32_t DIBWidth = 0;
    std::int32_t DIBHeight = 0;   // negative: rows stored bottom-up
    std::int32_t DIBPadBytes = 0; // bytes after each row's pixels
    std::int32_t DIBChannels = 0;
    IJL_COLOR DIBColor = IJL_COLOR::BGR;

    // The file's path, kept as it is until the system call encodes it once
    // (a name's bytes survive the way there: see NativeName).
    QString JPGFile;
    std::int32_t JPGWidth = 0;
    std::int32_t JPGHeight = 0;
    std::int32_t JPGChannels = 0;
    IJL_COLOR JPGColor = IJL_COLOR::YCBCR;
    // Our addition: publish only under a free name, never replacing anything.
    bool JPGNoReplace = false;
    // Our addition, with JPGNoReplace: called once the bytes are flushed
    // under a temporary name, just before they take JPGFile's name (see
    // SafeFile::BeforeNaming); JPGDurable then says whether the file and its
    // name reached the disk.
    std::function<void(std::span<const std::uint8_t> bytes, bool flushed)> JPGBeforeNaming;
    bool JPGDurable = false;

    std::int32_t jquality = 0;

    void* jprops = nullptr; // the library's own state, from ijlInit to ijlFree
};

// Prepares a zeroed record: the encoder's state and the defaults (3-channel
// blue-green-red source, colour JPEG). The encoder's own settings are
// JpegEncoder's and the same for every picture.
IJLERR ijlInit(JPEG_CORE_PROPERTIES* jcprops);

// Encodes the image into JPGFile through SafeFile: on any failure an earlier
// file of that name is untouched and nothing else is left behind. A replaced
// file hands its permissions and times on to the new one.
IJLERR ijlWrite(JPEG_CORE_PROPERTIES* jcprops, int iotype);

// Releases what ijlInit and ijlWrite allocated.
IJLERR ijlFree(JPEG_CORE_PROPERTIES* jcprops);
