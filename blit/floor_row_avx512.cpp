// Built with the AVX-512 options and called only when the CPU has them.

#include <immintrin.h>

#include "blit/floor_row.h"
#include "video/fixed_point.h"

void floorRowAvx512(unsigned char* dst, int32_t count, uint32_t u, uint32_t v, uint32_t du, uint32_t dv,
                    const unsigned char* tile)
{
    const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    __m512i us = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(u)), _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(du))));
    __m512i vs = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(v)), _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(dv))));
    const __m512i uStep = _mm512_set1_epi32(static_cast<int>(16 * du)), vStep = _mm512_set1_epi32(static_cast<int>(16 * dv));
    const __m512i six = _mm512_set1_epi32(63);
    // Each texel is the top byte of the 32-bit word that ends on it, so no
    // read passes the tile's last byte.
    const int* words = reinterpret_cast<const int*>(tile - 3);
    const __mmask16 all = 0xffff;
    for (int32_t k = 0; k < count; k += 16) {
        const __m512i column = _mm512_and_si512(_mm512_maskz_srli_epi32(all, us, SourceFracBits), six);
        const __m512i row = _mm512_and_si512(_mm512_maskz_srli_epi32(all, vs, SourceFracBits), six);
        const __m512i index = _mm512_or_si512(_mm512_maskz_slli_epi32(all, row, 6), column);
        const __m512i texels = _mm512_maskz_srli_epi32(all, _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), all, index, words, 1), 24);
        const __mmask16 lanes = count - k >= 16 ? all : static_cast<__mmask16>((1u << (count - k)) - 1);
        _mm_mask_storeu_epi8(dst + k, lanes, _mm512_maskz_cvtepi32_epi8(all, texels));
        us = _mm512_add_epi32(us, uStep);
        vs = _mm512_add_epi32(vs, vStep);
    }
}
