#pragma once
#include <cstdint>
namespace gdi {
using HANDLE = std::uint32_t;
using HBITMAP = HANDLE;
}
