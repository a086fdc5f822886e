// Built with -mavx2 and called only when the CPU has AVX2.

#include <immintrin.h>

#include "blit/gather_avx2.h"
#include "blit/rotate_span.h"

int32_t rotateSpanAvx2(unsigned char* dst, int32_t count, int32_t u, int32_t v, int32_t du, int32_t dv,
                       const RotateSource& src)
{
    EightAlongSpan at(u, v, du, dv);
    const SampledBitmap bitmap(src);
    const __m256i minusOne = _mm256_set1_epi32(-1);

    int32_t done = 0;
    for (; count - done >= 8; done += 8) {
        const __m256i iu = _mm256_srai_epi32(at.u, 10), iv = _mm256_srai_epi32(at.v, 10);
        const __m256i inside = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpgt_epi32(iu, minusOne), _mm256_cmpgt_epi32(bitmap.width, iu)),
            _mm256_and_si256(_mm256_cmpgt_epi32(iv, minusOne), _mm256_cmpgt_epi32(bitmap.height, iv)));
        // Lanes outside the bitmap read nothing and stay transparent.
        storeOpaquePixels(dst + done, gatherPixels(src.pixels, bitmap.offset(iu, iv), inside));
        at.advance();
    }
    return done;
}
