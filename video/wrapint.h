// Signed 32-bit arithmetic that wraps by definition, as the library's
// fixed-point and coordinate results are defined to; computed on unsigned
// values so that an overflow is never undefined behaviour.
#pragma once

#include <cstdint>

inline int32_t wrapAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t wrapSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

inline int32_t wrapMul(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// Truncating conversion of a double to int32 as the x86 instruction does it:
// values outside the range, and NaN, give INT32_MIN.
inline int32_t truncToInt32(double v)
{
    if (!(v > -2147483649.0 && v < 2147483648.0))
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Truncating division; the one overflowing case (INT32_MIN / -1) wraps.
inline int32_t wrapDiv(int32_t a, int32_t b)
{
    return b == -1 ? wrapSub(0, a) : a / b;
}
