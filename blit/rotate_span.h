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

// A span kernel draws pixels of the span at dst as the plain span does:
// source position (u >> 10, v >> 10) inside the bitmap and not 0 is stored;
// u and v advance by du and dv per pixel, wrapping. It returns how many
// pixels it drew from the span's start.
using RotateSpanFn = int32_t(unsigned char* dst, int32_t count, int32_t u, int32_t v, int32_t du, int32_t dv,
                             const RotateSource& src);

// Draws the first count - count % 8 pixels; only for CPUs with AVX2.
RotateSpanFn rotateSpanAvx2;
// Draws them all, the last ones under a lane mask; only for CPUs with
// AVX-512 F, BW, VL and VBMI.
RotateSpanFn rotateSpanAvx512;
