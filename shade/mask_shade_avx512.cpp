// Built with the AVX-512 options and called only when the CPU has them.

#include <immintrin.h>

#include "shade/mask_shade.h"
#include "shade/shade.h"

namespace {

// The sixteen pixels from d whose bits are set in lanes.
void shade16(unsigned char* d, const unsigned char* m, __mmask16 lanes, const unsigned char* dark,
             const unsigned char* light)
{
    const __m128i mask = _mm_maskz_loadu_epi8(lanes, m);
    const __mmask16 shaded = _mm_test_epi8_mask(mask, mask);
    if (!shaded)
        return;
    // Values 1 to 127 darken at level min(s, 64) - 1, -1 to -128 lighten at
    // level min(-s, 63): the clamping of ShadeTables::column. The magnitude
    // of -128 is 128 read unsigned.
    const __mmask16 darker = _mm_mask_cmpgt_epi8_mask(shaded, mask, _mm_setzero_si128());
    const __mmask16 lighter = shaded & static_cast<__mmask16>(~darker);
    const __m128i size = _mm_abs_epi8(mask);
    const __m128i level = _mm_mask_sub_epi8(_mm_min_epu8(size, _mm_set1_epi8(ZelShadeLevels - 1)), darker,
                                            _mm_min_epu8(size, _mm_set1_epi8(ZelShadeLevels)), _mm_set1_epi8(1));
    // Colour c's entry at a level lies at c * 64 + level. The gather reads the
    // 32-bit word at the level rounded down to four, which never passes the
    // table's end, and the shift brings the entry's byte down.
    const __m512i colour = _mm512_maskz_cvtepu8_epi32(shaded, _mm_maskz_loadu_epi8(shaded, d));
    const __m512i within = _mm512_maskz_cvtepu8_epi32(shaded, _mm_andnot_si128(_mm_set1_epi8(3), level));
    const __m512i at = _mm512_add_epi32(_mm512_maskz_slli_epi32(shaded, colour, 6), within);
    __m512i words = _mm512_setzero_si512();
    if (darker)
        words = _mm512_mask_i32gather_epi32(words, darker, at, dark, 1);
    if (lighter)
        words = _mm512_mask_i32gather_epi32(words, lighter, at, light, 1);
    const __m512i shift = _mm512_maskz_cvtepu8_epi32(shaded, _mm_slli_epi16(_mm_and_si128(level, _mm_set1_epi8(3)), 3));
    const __m512i entries = _mm512_maskz_srlv_epi32(shaded, words, shift);
    _mm_mask_storeu_epi8(d, shaded, _mm512_maskz_cvtepi32_epi8(shaded, entries));
}

}  // namespace

void shadeByMaskAvx512(unsigned char* d, const unsigned char* m, int32_t n, const unsigned char* dark,
                       const unsigned char* light)
{
    int32_t i = 0;
    for (; n - i >= 16; i += 16)
        shade16(d + i, m + i, 0xffff, dark, light);
    if (i < n)
        shade16(d + i, m + i, static_cast<__mmask16>(0xffffu >> (16 - (n - i))), dark, light);
}
