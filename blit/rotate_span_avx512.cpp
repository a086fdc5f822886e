// Built with the AVX-512 options and called only when the CPU has them.

#include <immintrin.h>

#include "blit/gather_avx2.h"
#include "blit/rotate_span.h"

namespace {

// The words of eight pixels (0 outside the bitmap and outside lanes).
__m256i sample(const EightAlongSpan& at, const SampledBitmap& bitmap, const unsigned char* pixels, __mmask8 lanes)
{
    const __m256i iu = _mm256_srai_epi32(at.u, 10), iv = _mm256_srai_epi32(at.v, 10);
    // Unsigned comparisons put negative positions outside too.
    const __mmask8 inside =
        _mm256_mask_cmplt_epu32_mask(_mm256_mask_cmplt_epu32_mask(lanes, iu, bitmap.width), iv, bitmap.height);
    return gatherWords(pixels, bitmap.offset(iu, iv), _mm256_maskz_mov_epi32(inside, _mm256_set1_epi32(-1)));
}

}  // namespace

int32_t rotateSpanAvx512(unsigned char* dst, int32_t count, int32_t u, int32_t v, int32_t du, int32_t dv,
                         const RotateSource& src)
{
    EightAlongSpan at(u, v, du, dv);
    const SampledBitmap bitmap(src);
    // The top bytes of the sixteen words of two registers, by one permute.
    const __m256i topBytes = _mm256_setr_epi32(0x0f0b0703, 0x1f1b1713, 0x2f2b2723, 0x3f3b3733, 0, 0, 0, 0);

    // Sixteen pixels a step, so that the masked stores never share bytes: on
    // some CPUs a masked store waits for an earlier store to the same bytes.
    for (int32_t done = 0; done < count; done += 16) {
        const uint32_t left = static_cast<uint32_t>(count - done);
        const __mmask16 lanes = static_cast<__mmask16>(left >= 16 ? 0xffffu : (1u << left) - 1);
        const __m256i first = sample(at, bitmap, src.pixels, static_cast<__mmask8>(lanes));
        at.advance();
        const __m256i second = sample(at, bitmap, src.pixels, static_cast<__mmask8>(lanes >> 8));
        at.advance();
        const __m128i packed =
            _mm256_castsi256_si128(_mm256_maskz_permutex2var_epi8(~__mmask32{0}, first, topBytes, second));
        _mm_mask_storeu_epi8(dst + done, _mm_test_epi8_mask(packed, packed), packed);
    }
    return count;
}
