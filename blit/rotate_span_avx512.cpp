// Built with the AVX-512 options and called only when the CPU has them.

#include <immintrin.h>

#include "blit/rotate_span.h"

namespace {

// Eight source positions (22.10) and their pixels: the top byte of the
// 32-bit word that ends on each, as in the AVX2 form, 0 for lanes outside
// the bitmap or not in lanes.
struct Sampler {
    __m256i width, height;
    __m128i rowShift;
    bool shiftRows;
    const int* words;

    __m256i pixels(__m256i uFx, __m256i vFx, __mmask8 lanes) const
    {
        const __m256i iu = _mm256_srai_epi32(uFx, 10), iv = _mm256_srai_epi32(vFx, 10);
        // Unsigned comparisons put negative positions outside too.
        const __mmask8 inside =
            _mm256_mask_cmplt_epu32_mask(_mm256_mask_cmplt_epu32_mask(lanes, iu, width), iv, height);
        const __m256i row = shiftRows ? _mm256_sll_epi32(iv, rowShift) : _mm256_mullo_epi32(iv, width);
        return _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), words, _mm256_add_epi32(row, iu),
                                           _mm256_maskz_mov_epi32(inside, _mm256_set1_epi32(-1)), 1);
    }
};

}  // namespace

int32_t rotateSpanAvx512(unsigned char* dst, int32_t count, int32_t u, int32_t v, int32_t du, int32_t dv,
                         const RotateSource& src)
{
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i uFx = _mm256_add_epi32(_mm256_set1_epi32(u), _mm256_mullo_epi32(lane, _mm256_set1_epi32(du)));
    __m256i vFx = _mm256_add_epi32(_mm256_set1_epi32(v), _mm256_mullo_epi32(lane, _mm256_set1_epi32(dv)));
    const __m256i uStep = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(du)));
    const __m256i vStep = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(dv)));
    const Sampler sampler{_mm256_set1_epi32(src.width), _mm256_set1_epi32(src.height),
                          _mm_cvtsi32_si128(static_cast<int>(src.shift)), src.shiftRows,
                          reinterpret_cast<const int*>(src.pixels - 3)};
    // The top bytes of the sixteen words of two registers, by one permute.
    const __m256i topBytes = _mm256_setr_epi32(0x0f0b0703, 0x1f1b1713, 0x2f2b2723, 0x3f3b3733, 0, 0, 0, 0);

    // Sixteen pixels a step, so that the masked stores never share bytes.
    for (int32_t done = 0; done < count; done += 16) {
        const uint32_t left = static_cast<uint32_t>(count - done);
        const __mmask16 lanes = static_cast<__mmask16>(left >= 16 ? 0xffffu : (1u << left) - 1);
        const __m256i first = sampler.pixels(uFx, vFx, static_cast<__mmask8>(lanes));
        uFx = _mm256_add_epi32(uFx, uStep);
        vFx = _mm256_add_epi32(vFx, vStep);
        const __m256i second = sampler.pixels(uFx, vFx, static_cast<__mmask8>(lanes >> 8));
        uFx = _mm256_add_epi32(uFx, uStep);
        vFx = _mm256_add_epi32(vFx, vStep);
        const __m128i packed =
            _mm256_castsi256_si128(_mm256_maskz_permutex2var_epi8(~__mmask32{0}, first, topBytes, second));
        _mm_mask_storeu_epi8(dst + done, _mm_test_epi8_mask(packed, packed), packed);
    }
    return count;
}
