// The library's fixed-point formats, named once.
#pragma once

#include <cstdint>

// 16.16: zoom steps, Gouraud intensities and sample positions in a source.
constexpr int FixedShift = 16;
constexpr int32_t FixedOne = 1 << FixedShift;   // 65536: one source pixel per destination pixel
constexpr int32_t FixedHalf = FixedOne / 2;     // 32768

// How many of the 16.16 samples sx, sx + step, ... (step > 0) come before end.
inline int64_t samplesBefore(int64_t sx, int64_t end, int64_t step)
{
    return sx >= end ? 0 : (end - sx + step - 1) / step;
}
