// The per-row pixel kernels of the 1:1 blits and of the XOR spans, as plain
// byte loops and as SSE2, AVX2 and AVX-512 forms that give the same bytes. The row
// operations of the blit frame and the XOR operation take the set of the CPU
// path in use (platform/cpu_features.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cpu_features.h"
#include "video/zelapi.h"

// Each kernel reads and writes only the n bytes at d, and reads only the n at
// s; n may be 0. Source and destination rows must not overlap.
using TransparentRowFn = void(unsigned char* d, const unsigned char* s, int32_t n);
using GlyphRowFn = void(unsigned char* d, const unsigned char* s, int32_t n, unsigned char colour);
using XorSpanFn = void(unsigned char* d, int32_t n, unsigned char mask);

struct RowKernels {
    TransparentRowFn* transparent;  // non-zero source bytes replace d; zeros keep it
    GlyphRowFn* glyph;              // non-zero source byte v is written as colour + v - 1, mod 256
    XorSpanFn* xorSpan;             // every byte of d is XORed with mask
};

// One set per instruction set, each built in its own file with its own
// compiler options.
extern const RowKernels plainRowKernels;
extern const RowKernels sse2RowKernels;
extern const RowKernels avx2RowKernels;
extern const RowKernels avx512RowKernels;

// The kernels of a path this CPU runs.
inline const RowKernels& rowKernelsOf(CpuPath path)
{
    switch (path) {
    case CpuPath::Avx512:
        return avx512RowKernels;
    case CpuPath::Avx2:
        return avx2RowKernels;
    case CpuPath::Sse2:
        return sse2RowKernels;
    case CpuPath::Plain:
        break;
    }
    return plainRowKernels;
}

// The kernels of the path in use, for the library's row operations: looked
// up without a call, since text makes a blit of every glyph.
inline const RowKernels& rowKernelsInUse()
{
    return rowKernelsOf(cpuPathInUse);
}

// Whole blocks of rows on the AVX-512 path: rows of n bytes from s to d, the
// next row stride bytes further on in each; the mask of a row's last chunk
// is made once for all rows. The transparent and glyph blocks keep d where
// s is 0.
// Only for CPUs with AVX-512 BW.
void transparentBlockAvx512(unsigned char* d, ptrdiff_t dStride, const unsigned char* s, ptrdiff_t sStride,
                            int32_t n, int32_t rows);
void copyBlockAvx512(unsigned char* d, ptrdiff_t dStride, const unsigned char* s, ptrdiff_t sStride, int32_t n,
                     int32_t rows);
// The glyph rows: non-zero source byte v is written as colour + v - 1.
void glyphBlockAvx512(unsigned char* d, ptrdiff_t dStride, const unsigned char* s, ptrdiff_t sStride, int32_t n,
                      int32_t rows, unsigned char colour);

// The kernels of any path; a path this CPU cannot run gives those of the
// widest one it can. Exported for the tests and the benchmark, which compare
// the paths.
ZELGFX_API const RowKernels& rowKernels(CpuPath path);
