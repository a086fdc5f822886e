// The AVX-512 kernel set: 64 bytes at a time, and the row's last bytes as
// one more chunk whose lanes past the end are masked off, so that no byte
// outside the row is read or written and no row ends in a byte loop. Built
// with the AVX-512 options and handed out only for the AVX-512 path; for the
// reason wide_rows_avx2.cpp gives, the table and the block functions are
// the only symbols defined here.

#include <immintrin.h>

#include "bitmap/wide_rows.h"
#include "platform/chunks64.h"

namespace {

void transparent(unsigned char* d, const unsigned char* s, int32_t n)
{
    walk64(n, [d, s](int32_t i, __mmask64 lanes) {
        const __m512i v = _mm512_maskz_loadu_epi8(lanes, s + i);
        _mm512_mask_storeu_epi8(d + i, _mm512_mask_test_epi8_mask(lanes, v, v), v);
    });
}

void glyph(unsigned char* d, const unsigned char* s, int32_t n, unsigned char colour)
{
    const __m512i offset = _mm512_set1_epi8(static_cast<char>(colour - 1));
    walk64(n, [d, s, offset](int32_t i, __mmask64 lanes) {
        const __m512i v = _mm512_maskz_loadu_epi8(lanes, s + i);
        _mm512_mask_storeu_epi8(d + i, _mm512_mask_test_epi8_mask(lanes, v, v), _mm512_add_epi8(v, offset));
    });
}

void xorSpan(unsigned char* d, int32_t n, unsigned char mask)
{
    const __m512i m = _mm512_set1_epi8(static_cast<char>(mask));
    walk64(n, [d, m](int32_t i, __mmask64 lanes) {
        _mm512_mask_storeu_epi8(d + i, lanes, _mm512_xor_si512(_mm512_maskz_loadu_epi8(lanes, d + i), m));
    });
}

// The lanes of a row's last chunk: 1 to 64 of them, or none when n is a
// multiple of 64.
__mmask64 lastLanes(int32_t n)
{
    return n % 64 ? ~__mmask64{0} >> (64 - n % 64) : 0;
}

}  // namespace

constinit const RowKernels avx512RowKernels{transparent, glyph, xorSpan};

void transparentBlockAvx512(unsigned char* d, ptrdiff_t dStride, const unsigned char* s, ptrdiff_t sStride,
                            int32_t n, int32_t rows)
{
    const int32_t whole = n - n % 64;
    const __mmask64 last = lastLanes(n);
    for (int32_t r = 0; r < rows; ++r, d += dStride, s += sStride) {
        for (int32_t i = 0; i < whole; i += 64) {
            const __m512i v = _mm512_loadu_si512(s + i);
            _mm512_mask_storeu_epi8(d + i, _mm512_test_epi8_mask(v, v), v);
        }
        const __m512i v = _mm512_maskz_loadu_epi8(last, s + whole);
        _mm512_mask_storeu_epi8(d + whole, _mm512_mask_test_epi8_mask(last, v, v), v);
    }
}

void glyphBlockAvx512(unsigned char* d, ptrdiff_t dStride, const unsigned char* s, ptrdiff_t sStride, int32_t n,
                      int32_t rows, unsigned char colour)
{
    const int32_t whole = n - n % 64;
    const __mmask64 last = lastLanes(n);
    const __m512i offset = _mm512_set1_epi8(static_cast<char>(colour - 1));
    for (int32_t r = 0; r < rows; ++r, d += dStride, s += sStride) {
        for (int32_t i = 0; i < whole; i += 64) {
            const __m512i v = _mm512_loadu_si512(s + i);
            _mm512_mask_storeu_epi8(d + i, _mm512_test_epi8_mask(v, v), _mm512_add_epi8(v, offset));
        }
        const __m512i v = _mm512_maskz_loadu_epi8(last, s + whole);
        _mm512_mask_storeu_epi8(d + whole, _mm512_mask_test_epi8_mask(last, v, v), _mm512_add_epi8(v, offset));
    }
}

void copyBlockAvx512(unsigned char* d, ptrdiff_t dStride, const unsigned char* s, ptrdiff_t sStride, int32_t n,
                     int32_t rows)
{
    // Rows are copied in pieces narrower than 64 bytes, which cross fewer
    // cache lines of the spread screen rows, and the last piece overlaps the
    // one before instead of being masked: 32 bytes at a time from 32 bytes
    // on, two 16-byte pieces from 16. A shorter row is one masked chunk.
    auto copyRows = [&](auto row) {
        for (int32_t r = 0; r < rows; ++r, d += dStride, s += sStride)
            row();
    };
    if (n >= 32) {
        copyRows([&] {
            for (int32_t i = 0; i + 32 < n; i += 32)
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + n - 32),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + n - 32)));
        });
    } else if (n >= 16) {
        copyRows([&] {
            const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
            const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 16));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), first);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 16), last);
        });
    } else {
        const __mmask64 last = lastLanes(n);
        copyRows([&] { _mm512_mask_storeu_epi8(d, last, _mm512_maskz_loadu_epi8(last, s)); });
    }
}
