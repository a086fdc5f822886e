// Filling and copying one row of pixels. Bars, polygons and sprites work on
// many short rows, where a call to memset or memcpy costs more than the
// stores themselves: rows of 16 to 256 bytes are written by 16-byte stores
// inline, the last one overlapping the one before, and shorter ones by a
// piece of 8, 4, 2 or 1 bytes at either end. Longer rows go to the C
// library.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace short_rows {

constexpr size_t Shortest = 16;
constexpr size_t Longest = 256;

// Calls store(at) for the 16-byte pieces covering [0, n), n >= 16.
template <class Store> void pieces(size_t n, Store store)
{
    for (size_t at = 0; at + 16 < n; at += 16)
        store(at);
    store(n - 16);
}

// The n bytes (size of T <= n <= twice that) from s to d: a piece at each
// end, both read before either is written.
template <class T> void copyEnds(unsigned char* d, const unsigned char* s, size_t n)
{
    T first, last;
    std::memcpy(&first, s, sizeof(T));
    std::memcpy(&last, s + n - sizeof(T), sizeof(T));
    std::memcpy(d, &first, sizeof(T));
    std::memcpy(d + n - sizeof(T), &last, sizeof(T));
}

// Rows of fewer than 16 bytes; s holds at least 8 bytes when n is 8 or more,
// so that a fill can pass a pattern of its colour.
inline void copyShort(unsigned char* d, const unsigned char* s, size_t n)
{
    if (n >= 8)
        copyEnds<uint64_t>(d, s, n);
    else if (n >= 4)
        copyEnds<uint32_t>(d, s, n);
    else if (n >= 2)
        copyEnds<uint16_t>(d, s, n);
    else if (n == 1)
        *d = *s;
}

}  // namespace short_rows

inline void fillRow(unsigned char* p, size_t n, unsigned char colour)
{
    if (n < short_rows::Shortest) {
        unsigned char pattern[short_rows::Shortest];
        std::memset(pattern, colour, sizeof pattern);
        short_rows::copyShort(p, pattern, n);
        return;
    }
    if (n > short_rows::Longest) {
        std::memset(p, colour, n);
        return;
    }
    const __m128i v = _mm_set1_epi8(static_cast<char>(colour));
    short_rows::pieces(n, [p, v](size_t at) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p + at), v); });
}

// d and s must not overlap.
inline void copyRow(unsigned char* d, const unsigned char* s, size_t n)
{
    if (n < short_rows::Shortest) {
        short_rows::copyShort(d, s, n);
        return;
    }
    if (n > short_rows::Longest) {
        std::memcpy(d, s, n);
        return;
    }
    short_rows::pieces(n, [d, s](size_t at) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + at), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at)));
    });
}
