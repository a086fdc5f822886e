// The two-level Gouraud ramp 32 pixels at a time. Built with -mavx2 and
// called only when the CPU has AVX2.

#include <immintrin.h>

#include <cstring>

#include "draw/gouraud_ramp.h"
#include "video/fixed_point.h"

void gouraudRampAvx2(unsigned char* p, int32_t n, int32_t i, int32_t step, bool liftFirst, unsigned char base)
{
    // The packs below work within each 128-bit half, so the pixels are dealt
    // to the lanes in the order the packed bytes come out: lanes 0-3 of part q
    // hold pixels 4q .. 4q + 3, lanes 4-7 pixels 16 + 4q .. 16 + 4q + 3.
    // Every part has the lanes' parities in the same order, even first, so
    // one lift pattern serves them all; part q is part 0 moved on by 4q steps.
    const uint32_t s = static_cast<uint32_t>(step);
    const __m256i lift = liftFirst ? _mm256_setr_epi32(FixedHalf, 0, FixedHalf, 0, FixedHalf, 0, FixedHalf, 0)
                                   : _mm256_setr_epi32(0, FixedHalf, 0, FixedHalf, 0, FixedHalf, 0, FixedHalf);
    const __m256i pixelOf = _mm256_setr_epi32(0, 1, 2, 3, 16, 17, 18, 19);
    const __m256i first = _mm256_add_epi32(_mm256_add_epi32(_mm256_set1_epi32(i), lift),
                                           _mm256_mullo_epi32(pixelOf, _mm256_set1_epi32(step)));
    __m256i part[4];
    for (uint32_t q = 0; q < 4; ++q)
        part[q] = _mm256_add_epi32(first, _mm256_set1_epi32(static_cast<int>(4 * q * s)));
    const __m256i advance = _mm256_set1_epi32(static_cast<int>(32 * s));
    const __m256i lowByte = _mm256_set1_epi16(0xff);
    const __m256i offset = _mm256_set1_epi8(static_cast<char>(base));

    auto block = [&] {
        const __m256i ab = _mm256_packs_epi32(_mm256_srai_epi32(part[0], 16), _mm256_srai_epi32(part[1], 16));
        const __m256i cd = _mm256_packs_epi32(_mm256_srai_epi32(part[2], 16), _mm256_srai_epi32(part[3], 16));
        const __m256i levels = _mm256_packus_epi16(_mm256_and_si256(ab, lowByte), _mm256_and_si256(cd, lowByte));
        for (__m256i& v : part)
            v = _mm256_add_epi32(v, advance);
        return _mm256_add_epi8(levels, offset);
    };
    for (; n >= 32; n -= 32, p += 32)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), block());
    if (n > 0) {
        alignas(32) unsigned char last[32];
        _mm256_store_si256(reinterpret_cast<__m256i*>(last), block());
        std::memcpy(p, last, static_cast<size_t>(n));
    }
}
