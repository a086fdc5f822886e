// Built with the AVX-512 options and called only when the CPU has them.

#include <immintrin.h>

#include "blit/zoom_rows.h"

void zoomRowAvx512(unsigned char* out, const unsigned char* src, const ZoomPlan& plan)
{
    for (int j = 0; j < plan.chunks; ++j) {
        const ZoomPlan::Chunk& ch = plan.chunk[j];
        const unsigned char* from = src + ch.first;
        const __m512i low = _mm512_maskz_loadu_epi8(ch.lowBytes, from);
        const __m512i high = _mm512_maskz_loadu_epi8(ch.highBytes, from + 64);
        const __m512i index = _mm512_load_si512(plan.index[j]);
        const __m512i v = _mm512_permutex2var_epi8(low, index, high);
        _mm512_mask_storeu_epi8(out + int64_t{j} * 64, _mm512_mask_test_epi8_mask(ch.lanes, v, v), v);
    }
}
