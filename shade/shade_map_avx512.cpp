// Built with the AVX-512 options and called only when the CPU has them.

#include <immintrin.h>

#include "shade/shade_map.h"
#include "platform/chunks64.h"

namespace {

// The table in four registers; at(index) looks up 64 bytes at once. Two
// permutes of two registers each look up the low 7 bits in the lower and the
// upper half of the table; bit 7 picks between them.
struct Table {
    __m512i t0, t1, t2, t3;
    explicit Table(const unsigned char* map)
        : t0(_mm512_loadu_si512(map)), t1(_mm512_loadu_si512(map + 64)), t2(_mm512_loadu_si512(map + 128)),
          t3(_mm512_loadu_si512(map + 192))
    {
    }
    __m512i at(__m512i index) const
    {
        const __m512i low = _mm512_permutex2var_epi8(t0, index, t1);
        const __m512i high = _mm512_permutex2var_epi8(t2, index, t3);
        return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
    }
};

}  // namespace

void mapRowAvx512(unsigned char* d, const unsigned char* s, int32_t n, const unsigned char* map)
{
    const Table table(map);
    walk64(n, [&](int32_t i, __mmask64 lanes) {
        _mm512_mask_storeu_epi8(d + i, lanes, table.at(_mm512_maskz_loadu_epi8(lanes, s + i)));
    });
}

void mapOpaqueRowAvx512(unsigned char* d, const unsigned char* s, int32_t n, const unsigned char* map)
{
    const Table table(map);
    walk64(n, [&](int32_t i, __mmask64 lanes) {
        const __m512i v = _mm512_maskz_loadu_epi8(lanes, s + i);
        _mm512_mask_storeu_epi8(d + i, _mm512_mask_test_epi8_mask(lanes, v, v), table.at(v));
    });
}
