// Filling one row of pixels with a colour. Bars and polygons fill many short
// rows, where a call to memset costs more than the stores themselves: rows
// of 16 to 256 bytes are written by 16-byte stores inline, the last one
// overlapping the one before.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstring>

inline void fillRow(unsigned char* p, size_t n, unsigned char colour)
{
    if (n < 16 || n > 256) {
        std::memset(p, colour, n);
        return;
    }
    const __m128i v = _mm_set1_epi8(static_cast<char>(colour));
    for (size_t at = 0; at + 16 < n; at += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + at), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + n - 16), v);
}
