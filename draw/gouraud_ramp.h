// The two-level Gouraud span computed many pixels at a time: sixteen with
// SSE2, which every x86-64 processor has, or 32 with AVX2. The AVX-512 form
// takes a batch of rows (ramp_rows.h).
#pragma once

#include <cstdint>

// Pixel k of the n pixels from p gets base + ((i + k * step + lift) >> 16),
// wrapping as 32-bit and 8-bit values, where lift is half a level (32768) on
// pixels k of the parity liftFirst names (even k when true) and 0 on the
// others.
void gouraudRampSse2(unsigned char* p, int32_t n, int32_t i, int32_t step, bool liftFirst, unsigned char base);
// The same, 32 pixels at a time; only for CPUs with AVX2.
void gouraudRampAvx2(unsigned char* p, int32_t n, int32_t i, int32_t step, bool liftFirst, unsigned char base);

