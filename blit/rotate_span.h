// One span of a turned bitmap, 8 pixels at a time with gathers.
#pragma once

#include <cstdint>

// Where a span's source walk starts and how it steps (22.10 fixed point),
// and the bitmap it samples.
struct RotateSource {
    const unsigned char* pixels;  // directly after the bitmap's 20-byte record
    int32_t width, height;
    unsigned shift;  // rows by shift when shiftRows, else by multiplying with width
    bool shiftRows;
};

// Draws the first count - count % 8 pixels of the span at dst as the plain
// span does: source position (u >> 10, v >> 10) inside the bitmap and not 0
// is stored; u and v advance by du and dv per pixel, wrapping. Returns how
// many pixels it drew; only for CPUs with AVX2.
int32_t rotateSpanAvx2(unsigned char* dst, int32_t count, int32_t u, int32_t v, int32_t du, int32_t dv,
                       const RotateSource& src);
// The same for the whole span, its last pixels under a lane mask; only for
// CPUs with AVX-512 F, BW, VL and VBMI.
int32_t rotateSpanAvx512(unsigned char* dst, int32_t count, int32_t u, int32_t v, int32_t du, int32_t dv,
                         const RotateSource& src);
