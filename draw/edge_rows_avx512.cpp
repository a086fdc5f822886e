// Built with the AVX-512 options and called only when the CPU has them.

#include <immintrin.h>

#include "draw/edge_rows.h"

namespace {

constexpr __mmask8 AllLanes = 0xff;

// Integers from 0 to 2^52 convert to and from doubles exactly by way of the
// bits of 2^52 + v.
constexpr int64_t TwoTo52Bits = 0x4330000000000000;

__m512d toDouble(__m512i v)
{
    const __m512i bits = _mm512_set1_epi64(TwoTo52Bits);
    return _mm512_sub_pd(_mm512_castsi512_pd(_mm512_or_si512(v, bits)), _mm512_castsi512_pd(bits));
}

__m512i toInteger(__m512d whole)
{
    const __m512i bits = _mm512_set1_epi64(TwoTo52Bits);
    return _mm512_sub_epi64(_mm512_castpd_si512(_mm512_add_pd(whole, _mm512_castsi512_pd(bits))), bits);
}

// The lanes' small factors k (below 2^29) times v (below 2^35), from the two
// 32-bit halves of v.
__m512i times(__m512i k, uint64_t v)
{
    const __m512i low = _mm512_maskz_mul_epu32(AllLanes, k, _mm512_set1_epi64(static_cast<int64_t>(v & 0xffffffffu)));
    const __m512i high = _mm512_maskz_mul_epu32(AllLanes, k, _mm512_set1_epi64(static_cast<int64_t>(v >> 32)));
    return _mm512_add_epi64(low, _mm512_maskz_slli_epi64(AllLanes, high, 32));
}

// The eight 64-bit lanes hold eight rows; their low 32 bits go to the side
// slot of eight Points from p, in the order dir gives.
void storeSides(Point* p, int slot, int dir, __m512i rows)
{
    if (dir < 0) {
        rows = _mm512_maskz_permutexvar_epi64(AllLanes, _mm512_setr_epi64(7, 6, 5, 4, 3, 2, 1, 0), rows);
        p -= 7;
    }
    if (slot)
        _mm512_mask_storeu_epi32(p, 0xaaaa, _mm512_maskz_slli_epi64(AllLanes, rows, 32));
    else
        _mm512_mask_storeu_epi32(p, 0x5555, rows);
}

}  // namespace

void storeEdgeRowsAvx512(Point* columns, Point* intensities, int slot, int dir, const EdgeRows& e)
{
    // Lane k of a block of eight holds row j = b + k + 1. Only the low 32
    // bits of the intensities count.
    const __m512i lane = _mm512_setr_epi64(0, 1, 2, 3, 4, 5, 6, 7);
    __m512i numerator = _mm512_add_epi64(_mm512_set1_epi64(e.base), times(lane, static_cast<uint64_t>(e.twoAx)));
    __m512i level = _mm512_add_epi64(_mm512_set1_epi64(static_cast<uint32_t>(e.i)),
                                     times(_mm512_add_epi64(lane, _mm512_set1_epi64(1)), static_cast<uint32_t>(e.step)));
    const __m512i numeratorStep = _mm512_set1_epi64(8 * e.twoAx);
    const __m512i levelStep = _mm512_set1_epi64(static_cast<int64_t>(static_cast<uint32_t>(e.step) * 8u));
    const __m512d divisor = _mm512_set1_pd(static_cast<double>(e.twoAy));
    const __m512i x = _mm512_set1_epi64(e.x);
    for (int32_t b = 0; b < e.count; b += 8) {
        // The quotient of integers below 2^52 lies nearer to the true one
        // than to any other integer, so its floor is the integer quotient.
        const __m512d q = _mm512_maskz_roundscale_pd(AllLanes, _mm512_div_pd(toDouble(numerator), divisor),
                                                     _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        const __m512i steps = toInteger(q);
        const __m512i column = e.sx < 0 ? _mm512_sub_epi64(x, steps) : _mm512_add_epi64(x, steps);
        storeSides(columns + dir * b, slot, dir, column);
        if (intensities)
            storeSides(intensities + dir * b, slot, dir, level);
        numerator = _mm512_add_epi64(numerator, numeratorStep);
        level = _mm512_add_epi64(level, levelStep);
    }
}
