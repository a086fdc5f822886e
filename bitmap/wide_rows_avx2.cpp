// The AVX2 kernel set: 32 bytes at a time, then the 128-bit lanes of 16, 8
// and 4, then single bytes. Built with -mavx2, and handed out only for the
// AVX2 path, which is chosen only on CPUs that have it. The table must stay
// the one symbol this file defines: a function or an inline function from a
// header emitted here would be AVX2 code the linker might share with callers
// on any CPU.

#include <immintrin.h>

#include "bitmap/wide_rows.h"

#include "bitmap/wide_rows_lanes128.h"
#include "bitmap/wide_rows_walk.h"

namespace {

struct Lanes32 {
    using Reg = __m256i;
    static constexpr int32_t bytes = 32;
    static Reg load(const unsigned char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void store(unsigned char* p, Reg r) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), r); }
    static Reg splat(unsigned char b) { return _mm256_set1_epi8(static_cast<char>(b)); }
    static Reg zeros(Reg r) { return _mm256_cmpeq_epi8(r, _mm256_setzero_si256()); }
    static Reg select(Reg m, Reg a, Reg b) { return _mm256_blendv_epi8(b, a, m); }
    static Reg add(Reg a, Reg b) { return _mm256_add_epi8(a, b); }
    static Reg bitXor(Reg a, Reg b) { return _mm256_xor_si256(a, b); }
};

}  // namespace

constinit const RowKernels avx2RowKernels = RowsOver<Lanes32, Lanes16, Lanes8, Lanes4>::kernels;
