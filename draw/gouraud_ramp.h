// The two-level Gouraud span computed many pixels at a time: sixteen with
// SSE2, which every x86-64 processor has, 32 with AVX2, or sixteen a step
// for a batch of rows with AVX-512.
#pragma once

#include <cstdint>

// Pixel k of the n pixels from p gets base + ((i + k * step + lift) >> 16),
// wrapping as 32-bit and 8-bit values, where lift is half a level (32768) on
// pixels k of the parity liftFirst names (even k when true) and 0 on the
// others.
void gouraudRampSse2(unsigned char* p, int32_t n, int32_t i, int32_t step, bool liftFirst, unsigned char base);
// The same, 32 pixels at a time; only for CPUs with AVX2.
void gouraudRampAvx2(unsigned char* p, int32_t n, int32_t i, int32_t step, bool liftFirst, unsigned char base);

// One row of a ramp: the arguments above but base.
struct RampRow {
    unsigned char* p;
    int32_t n, i, step;
    bool liftFirst;
};
// The count rows one after another, sixteen pixels at a time with each row's
// end under a mask; only for CPUs with AVX-512 F, BW and VL. Taking many rows
// a call keeps the constants in registers from row to row.
void gouraudRampsAvx512(const RampRow* rows, int32_t count, unsigned char base);
