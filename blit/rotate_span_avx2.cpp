// Built with -mavx2 and called only when the CPU has AVX2.

#include <immintrin.h>

#include "blit/gather_avx2.h"
#include "blit/rotate_span.h"

int32_t rotateSpanAvx2(unsigned char* dst, int32_t count, int32_t u, int32_t v, int32_t du, int32_t dv,
                       const RotateSource& src)
{
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i uFx = _mm256_add_epi32(_mm256_set1_epi32(u), _mm256_mullo_epi32(lane, _mm256_set1_epi32(du)));
    __m256i vFx = _mm256_add_epi32(_mm256_set1_epi32(v), _mm256_mullo_epi32(lane, _mm256_set1_epi32(dv)));
    const __m256i uStep = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(du)));
    const __m256i vStep = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(dv)));
    const __m256i width = _mm256_set1_epi32(src.width), height = _mm256_set1_epi32(src.height);
    const __m256i minusOne = _mm256_set1_epi32(-1);
    const __m128i rowShift = _mm_cvtsi32_si128(static_cast<int>(src.shift));

    int32_t done = 0;
    for (; count - done >= 8; done += 8) {
        const __m256i iu = _mm256_srai_epi32(uFx, 10), iv = _mm256_srai_epi32(vFx, 10);
        const __m256i inside = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpgt_epi32(iu, minusOne), _mm256_cmpgt_epi32(width, iu)),
            _mm256_and_si256(_mm256_cmpgt_epi32(iv, minusOne), _mm256_cmpgt_epi32(height, iv)));
        const __m256i row = src.shiftRows ? _mm256_sll_epi32(iv, rowShift) : _mm256_mullo_epi32(iv, width);
        const __m256i index = _mm256_add_epi32(row, iu);
        // Lanes outside the bitmap read nothing and stay transparent.
        storeOpaquePixels(dst + done, gatherPixels(src.pixels, index, inside));
        uFx = _mm256_add_epi32(uFx, uStep);
        vFx = _mm256_add_epi32(vFx, vStep);
    }
    return done;
}
