// Built with the AVX-512 options and called only when the CPU has them.

#include <immintrin.h>

#include "shade/shade_map.h"

void mapRowAvx512(unsigned char* d, const unsigned char* s, int32_t n, const unsigned char* map)
{
    // Two permutes of two table registers each look up the low 7 bits in the
    // lower and the upper half of the table; bit 7 picks between them.
    const __m512i t0 = _mm512_loadu_si512(map), t1 = _mm512_loadu_si512(map + 64);
    const __m512i t2 = _mm512_loadu_si512(map + 128), t3 = _mm512_loadu_si512(map + 192);
    auto lookup = [&](__m512i index) {
        const __m512i low = _mm512_permutex2var_epi8(t0, index, t1);
        const __m512i high = _mm512_permutex2var_epi8(t2, index, t3);
        return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
    };
    int32_t i = 0;
    for (; n - i >= 64; i += 64)
        _mm512_storeu_si512(d + i, lookup(_mm512_loadu_si512(s + i)));
    if (i < n) {
        // Masked bytes are neither read nor written.
        const __mmask64 rest = ~0ull >> (64 - (n - i));
        _mm512_mask_storeu_epi8(d + i, rest, lookup(_mm512_maskz_loadu_epi8(rest, s + i)));
    }
}
