// SSE2 lanes of 16, 8 and 4 bytes for the row walk (bitmap/wide_rows_walk.h):
// the whole kernel set of the SSE2 path, and the narrow end of the AVX2 one.
// Private to each including file for the reason the walk gives.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace {  // NOLINT(google-build-namespaces, cert-dcl59-cpp): see wide_rows_walk.h

// The operations shared by the three widths; they differ in load and store.
struct Sse2Ops {
    using Reg = __m128i;
    static Reg splat(unsigned char b) { return _mm_set1_epi8(static_cast<char>(b)); }
    static Reg zeros(Reg r) { return _mm_cmpeq_epi8(r, _mm_setzero_si128()); }
    static Reg select(Reg m, Reg a, Reg b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }
    static Reg add(Reg a, Reg b) { return _mm_add_epi8(a, b); }
    static Reg bitXor(Reg a, Reg b) { return _mm_xor_si128(a, b); }
};

struct Lanes16 : Sse2Ops {
    static constexpr int32_t bytes = 16;
    static Reg load(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void store(unsigned char* p, Reg r) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), r); }
};

struct Lanes8 : Sse2Ops {
    static constexpr int32_t bytes = 8;
    static Reg load(const unsigned char* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
    static void store(unsigned char* p, Reg r) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), r); }
};

struct Lanes4 : Sse2Ops {
    static constexpr int32_t bytes = 4;
    static Reg load(const unsigned char* p)
    {
        int32_t v;
        std::memcpy(&v, p, sizeof v);
        return _mm_cvtsi32_si128(v);
    }
    static void store(unsigned char* p, Reg r)
    {
        const int32_t v = _mm_cvtsi128_si32(r);
        std::memcpy(p, &v, sizeof v);
    }
};

}  // namespace
