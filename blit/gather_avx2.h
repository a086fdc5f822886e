// Helpers of the AVX2 sampling kernels: fetching eight source pixels by
// index, and storing the non-zero ones of eight. Included only by files
// built with -mavx2.
#pragma once

#include <immintrin.h>

// The pixels at the eight indexes from pixels, 0 in the lanes mask leaves
// out. Each pixel is the top byte of the 32-bit word that ends on it, so a
// read never passes the last pixel; the three bytes before pixel 0 must be
// readable (a bitmap's record lies there, or the row before).
inline __m256i gatherPixels(const unsigned char* pixels, __m256i index, __m256i mask)
{
    const int* words = reinterpret_cast<const int*>(pixels - 3);
    return _mm256_srli_epi32(_mm256_mask_i32gather_epi32(_mm256_setzero_si256(), words, index, mask, 1), 24);
}

// Stores the eight pixel values (0 to 255, one per lane) at dst, keeping the
// screen byte where a value is 0.
inline void storeOpaquePixels(unsigned char* dst, __m256i values)
{
    const __m128i words = _mm_packus_epi32(_mm256_castsi256_si128(values), _mm256_extracti128_si256(values, 1));
    const __m128i bytes = _mm_packus_epi16(words, words);
    const __m128i old = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst));
    const __m128i transparent = _mm_cmpeq_epi8(bytes, _mm_setzero_si128());
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), _mm_blendv_epi8(bytes, old, transparent));
}
