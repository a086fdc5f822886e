// The Gouraud fill on the AVX-512 path hands its rows to the kernel in
// batches: a call per batch instead of per row, and the kernel keeps its
// constants in registers from row to row. Each row's end is stored through
// a lane mask. Only for CPUs with AVX-512 F, BW and VL.
#pragma once

#include <cstdint>

// A Gouraud ramp: pixel k of the n pixels from p gets base + ((i + k * step
// + lift) >> 16), as gouraudRampSse2 (gouraud_ramp.h) draws it.
struct RampRow {
    unsigned char* p;
    int32_t n, i, step;
    bool liftFirst;
};
void gouraudRampsAvx512(const RampRow* rows, int32_t count, unsigned char base);
