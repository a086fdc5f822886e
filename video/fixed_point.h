// The library's fixed-point formats, named once.
#pragma once

#include <cstdint>

// 16.16: zoom steps, Gouraud intensities and sample positions in a source.
constexpr int FixedShift = 16;
constexpr int32_t FixedOne = 1 << FixedShift;   // 65536: one source pixel per destination pixel
constexpr int32_t FixedHalf = FixedOne / 2;     // 32768

// 22.10: source positions of the free rotation and the floor fill.
constexpr int SourceFracBits = 10;
constexpr int32_t SourceOne = 1 << SourceFracBits;  // 1024: one source pixel

// (a · b) >> n taken on the 64-bit product; the low 32 bits are kept.
inline int32_t mulShift(int32_t a, int32_t b, int n)
{
    return static_cast<int32_t>((static_cast<int64_t>(a) * b) >> n);
}

// How many of the 16.16 samples sx, sx + step, ... (step > 0) come before end.
inline int64_t samplesBefore(int64_t sx, int64_t end, int64_t step)
{
    return sx >= end ? 0 : (end - sx + step - 1) / step;
}
