// The two-level Gouraud span sixteen pixels at a time (SSE2, which every
// x86-64 processor has).
#pragma once

#include <cstdint>

// Pixel k of the n pixels from p gets base + ((i + k * step + lift) >> 16),
// wrapping as 32-bit and 8-bit values, where lift is half a level (32768) on
// pixels k of the parity liftFirst names (even k when true) and 0 on the
// others.
void gouraudRamp(unsigned char* p, int32_t n, int32_t i, int32_t step, bool liftFirst, unsigned char base);
