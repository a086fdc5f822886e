// Helpers of the sampling kernels built with AVX2 or wider: the source
// positions of eight pixels along a span, their offsets in the bitmap,
// fetching eight source pixels by index, and storing the non-zero ones of
// eight. The anonymous namespace keeps each kernel file's copy its own,
// built with that file's instruction set.
#pragma once

#include <immintrin.h>

#include "blit/rotate_span.h"

namespace {

// Lane k holds pixel k of eight along a span: its source position (22.10);
// advance() moves all eight on by eight pixels, wrapping.
struct EightAlongSpan {
    __m256i u, v;
    __m256i uStep, vStep;

    EightAlongSpan(int32_t u0, int32_t v0, int32_t du, int32_t dv)
    {
        const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        u = _mm256_add_epi32(_mm256_set1_epi32(u0), _mm256_mullo_epi32(lane, _mm256_set1_epi32(du)));
        v = _mm256_add_epi32(_mm256_set1_epi32(v0), _mm256_mullo_epi32(lane, _mm256_set1_epi32(dv)));
        uStep = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(du)));
        vStep = _mm256_set1_epi32(static_cast<int32_t>(8u * static_cast<uint32_t>(dv)));
    }
    void advance()
    {
        u = _mm256_add_epi32(u, uStep);
        v = _mm256_add_epi32(v, vStep);
    }
};

// The bitmap a span samples: its size, and the offset of a pixel by a shift
// of the row for power-of-two widths, else by a multiplication.
struct SampledBitmap {
    __m256i width, height;
    __m128i rowShift;
    bool shiftRows;

    explicit SampledBitmap(const RotateSource& src)
        : width(_mm256_set1_epi32(src.width)), height(_mm256_set1_epi32(src.height)),
          rowShift(_mm_cvtsi32_si128(static_cast<int>(src.shift))), shiftRows(src.shiftRows)
    {
    }
    __m256i offset(__m256i column, __m256i row) const
    {
        return _mm256_add_epi32(shiftRows ? _mm256_sll_epi32(row, rowShift) : _mm256_mullo_epi32(row, width), column);
    }
};

// The pixels at the eight indexes from pixels, 0 in the lanes mask leaves
// out. Each pixel is the top byte of the 32-bit word that ends on it, so a
// read never passes the last pixel; the three bytes before pixel 0 must be
// readable (a bitmap's record lies there, or the row before).
inline __m256i gatherWords(const unsigned char* pixels, __m256i index, __m256i mask)
{
    const int* words = reinterpret_cast<const int*>(pixels - 3);
    return _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), words, index, mask, 1);
}

inline __m256i gatherPixels(const unsigned char* pixels, __m256i index, __m256i mask)
{
    return _mm256_srli_epi32(gatherWords(pixels, index, mask), 24);
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

}  // namespace
