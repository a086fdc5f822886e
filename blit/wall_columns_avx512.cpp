// Built with the AVX-512 options and called only when the CPU has them.

#include <immintrin.h>

#include <cstdint>

#include "blit/wall_columns.h"

void wallColumnsAvx512(unsigned char* screen, const int32_t* lineOff, const WallBatch& batch, const WallTexture& tex)
{
    // The zero-masked forms spare GCC's intrinsics a false warning about
    // their undefined pass-through.
    const __mmask16 all = 0xffff, active = static_cast<__mmask16>(batch.active);
    const __m512i from = _mm512_loadu_si512(batch.from), to = _mm512_loadu_si512(batch.to);
    const __m512i step = _mm512_loadu_si512(batch.stFx), texel = _mm512_loadu_si512(batch.texel);
    const __m512i rowMask = _mm512_set1_epi32(tex.rowMask), limit = _mm512_set1_epi32(tex.limit);
    const __m128i shift = _mm_cvtsi32_si128(static_cast<int>(tex.rowShift));
    int32_t first = INT32_MAX, last = INT32_MIN;
    for (int lane = 0; lane < 16; ++lane)
        if (batch.active >> lane & 1u) {
            first = batch.from[lane] < first ? batch.from[lane] : first;
            last = batch.to[lane] > last ? batch.to[lane] : last;
        }
    // Each texel is the top byte of the 32-bit word that ends on it, so no
    // read passes the texture's last byte.
    const int* words = reinterpret_cast<const int*>(tex.pixels - 3);
    // Each lane's texture row on the batch's first row.
    const __m512i above = _mm512_sub_epi32(from, _mm512_set1_epi32(first));
    __m512i t = _mm512_sub_epi32(_mm512_loadu_si512(batch.tFx), _mm512_mullo_epi32(above, step));
    for (int32_t y = first; y < last; ++y) {
        const __m512i row = _mm512_set1_epi32(y);
        const __mmask16 onRow = _mm512_mask_cmple_epi32_mask(active, from, row) & _mm512_cmplt_epi32_mask(row, to);
        const __m512i tr = _mm512_maskz_srai_epi32(all, t, 8);
        const __mmask16 inTexture = _mm512_mask_cmpge_epi32_mask(onRow, tr, _mm512_setzero_si512()) &
                                    _mm512_cmplt_epi32_mask(tr, limit);
        const __m512i index = _mm512_add_epi32(_mm512_maskz_sll_epi32(all, _mm512_and_si512(tr, rowMask), shift), texel);
        const __m512i words32 = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), inTexture, index, words, 1);
        const __m512i v = _mm512_maskz_srli_epi32(all, words32, 24);
        const __mmask16 drawn = _mm512_mask_test_epi32_mask(inTexture, v, v);
        _mm_mask_storeu_epi8(screen + lineOff[y] + batch.first, drawn, _mm512_maskz_cvtepi32_epi8(all, v));
        t = _mm512_add_epi32(t, step);
    }
}
