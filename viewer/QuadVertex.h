#pragma once

#include <cstddef>
#include <cstdint>

// One corner of the credits square, in the layout the device reads for the
// vertex format XYZ | DIFFUSE | TEX1 (0x142): 24 bytes.
struct QuadVertex {
    float x;
    float y;
    float z;
    std::uint32_t colour; // 0xAARRGGBB
    float tu;             // 0 = left edge of the texture
    float tv;             // 0 = top edge of the texture
};

static_assert(sizeof(QuadVertex) == 24);
static_assert(offsetof(QuadVertex, colour) == 12);
static_assert(offsetof(QuadVertex, tu) == 16);
static_assert(offsetof(QuadVertex, tv) == 20);
