// The Gouraud ramps of a batch of rows. Built with the AVX-512 options and
// called only when the CPU has them.

#include <immintrin.h>

#include "draw/ramp_rows.h"
#include "video/fixed_point.h"

namespace {

constexpr __mmask16 AllLanes = 0xffff;

// The level is the byte above the fraction: byte 2 of each 32-bit
// intensity, picked out by one byte permute.
__m128i levels(__m512i intensity, __m128i base)
{
    const __m512i third = _mm512_setr_epi32(0x0e0a0602, 0x1e1a1612, 0x2e2a2622, 0x3e3a3632, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                            0, 0, 0);
    const __m512i picked = _mm512_maskz_permutexvar_epi8(~__mmask64{0}, third, intensity);
    return _mm_add_epi8(_mm512_maskz_extracti32x4_epi32(0xf, picked, 0), base);
}

}  // namespace

void gouraudRampsAvx512(const RampRow* rows, int32_t count, unsigned char base)
{
    const __m512i pixel = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m512i half = _mm512_set1_epi32(FixedHalf);
    const __m128i offset = _mm_set1_epi8(static_cast<char>(base));
    for (const RampRow* row = rows; row < rows + count; ++row) {
        // Lane k holds the intensity of pixel k, lifted on the parity
        // liftFirst names; sixteen pixels on, every lane has moved by sixteen
        // steps.
        const __m512i i = _mm512_set1_epi32(row->i);
        const __m512i lifted = _mm512_mask_add_epi32(i, row->liftFirst ? 0x5555 : 0xaaaa, i, half);
        __m512i v = _mm512_add_epi32(lifted, _mm512_mullo_epi32(pixel, _mm512_set1_epi32(row->step)));
        const __m512i advance = _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(row->step) * 16u));
        unsigned char* p = row->p;
        const int32_t n = row->n;
        int32_t k = 0;
        for (; n - k >= 16; k += 16) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + k), levels(v, offset));
            v = _mm512_add_epi32(v, advance);
        }
        if (k < n)
            _mm_mask_storeu_epi8(p + k, static_cast<__mmask16>(AllLanes >> (16 - (n - k))), levels(v, offset));
    }
}
