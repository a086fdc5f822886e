// Filling and copying one row of pixels. Bars, polygons and sprites work on
// many short rows, where a call to memset or memcpy costs more than the
// stores themselves: rows of 16 to 256 bytes are written by 16-byte stores
// inline, the last one overlapping the one before. Longer and shorter rows
// go to the C library.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstring>

namespace short_rows {

constexpr size_t Shortest = 16;
constexpr size_t Longest = 256;

inline bool fitsInline(size_t n)
{
    return n >= Shortest && n <= Longest;
}

// Calls store(at) for the 16-byte pieces covering [0, n), n >= 16.
template <class Store> void pieces(size_t n, Store store)
{
    for (size_t at = 0; at + 16 < n; at += 16)
        store(at);
    store(n - 16);
}

}  // namespace short_rows

inline void fillRow(unsigned char* p, size_t n, unsigned char colour)
{
    if (!short_rows::fitsInline(n)) {
        std::memset(p, colour, n);
        return;
    }
    const __m128i v = _mm_set1_epi8(static_cast<char>(colour));
    short_rows::pieces(n, [p, v](size_t at) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p + at), v); });
}

// d and s must not overlap.
inline void copyRow(unsigned char* d, const unsigned char* s, size_t n)
{
    if (!short_rows::fitsInline(n)) {
        std::memcpy(d, s, n);
        return;
    }
    short_rows::pieces(n, [d, s](size_t at) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + at), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at)));
    });
}
