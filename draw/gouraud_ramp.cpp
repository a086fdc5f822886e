#include "draw/gouraud_ramp.h"
#include "video/fixed_point.h"

#include <emmintrin.h>

#include <cstring>

void gouraudRampSse2(unsigned char* p, int32_t n, int32_t i, int32_t step, bool liftFirst, unsigned char base)
{
    // Lane j of part v holds the intensity of pixel 4v + j, lifted or not; a
    // block later every lane has moved on by 16 steps.
    const uint32_t u = static_cast<uint32_t>(i), s = static_cast<uint32_t>(step);
    const uint32_t liftEven = liftFirst ? uint32_t{FixedHalf} : 0u, liftOdd = liftFirst ? 0u : uint32_t{FixedHalf};
    const __m128i first = _mm_setr_epi32(static_cast<int>(u + liftEven), static_cast<int>(u + s + liftOdd),
                                         static_cast<int>(u + 2 * s + liftEven), static_cast<int>(u + 3 * s + liftOdd));
    __m128i part[4];
    for (uint32_t v = 0; v < 4; ++v)
        part[v] = _mm_add_epi32(first, _mm_set1_epi32(static_cast<int>(4 * v * s)));
    const __m128i advance = _mm_set1_epi32(static_cast<int>(16 * s));
    const __m128i lowByte = _mm_set1_epi16(0xff);
    const __m128i offset = _mm_set1_epi8(static_cast<char>(base));

    // The arithmetic shift keeps the levels within 16 bits, so the signed
    // packing never saturates; only their low byte is wanted.
    auto block = [&] {
        const __m128i low = _mm_packs_epi32(_mm_srai_epi32(part[0], 16), _mm_srai_epi32(part[1], 16));
        const __m128i high = _mm_packs_epi32(_mm_srai_epi32(part[2], 16), _mm_srai_epi32(part[3], 16));
        const __m128i levels = _mm_packus_epi16(_mm_and_si128(low, lowByte), _mm_and_si128(high, lowByte));
        for (__m128i& v : part)
            v = _mm_add_epi32(v, advance);
        return _mm_add_epi8(levels, offset);
    };
    for (; n >= 16; n -= 16, p += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), block());
    // The last pixels come from a whole block made on the side.
    if (n > 0) {
        alignas(16) unsigned char last[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(last), block());
        std::memcpy(p, last, static_cast<size_t>(n));
    }
}
