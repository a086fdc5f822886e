// The row kernels written once over lanes of any width. A row is walked in
// chunks of the widest lane while they fit, then in one chunk of each
// narrower lane that still fits, then byte by byte, so no byte outside the
// row is ever read or written; with no lanes at all the walk is the plain
// byte loop.
//
// Included only by the files that build a kernel set for one instruction
// set. Everything here sits in an unnamed namespace on purpose: each of
// those files gets a private copy compiled with its own options, so that the
// linker can never let code built for AVX2 stand in for the SSE2 or plain
// copy of the same function.
#pragma once

#include <cstdint>

#include "bitmap/wide_rows.h"

// A lane type L provides: L::Reg; L::bytes; L::load(p) and L::store(p, r)
// of exactly L::bytes bytes at any alignment; L::splat(byte); L::zeros(r),
// all ones in the bytes of r that are 0; L::select(m, a, b), a where m is all
// ones and b where m is 0; L::add(a, b) bytewise mod 256; L::bitXor(a, b).

namespace {  // NOLINT(google-build-namespaces, cert-dcl59-cpp): see above

struct TransparentKernel {
    unsigned char* d;
    const unsigned char* s;
    template <class L> void chunk(int32_t i) const
    {
        const typename L::Reg v = L::load(s + i);
        L::store(d + i, L::select(L::zeros(v), L::load(d + i), v));
    }
    void byte(int32_t i) const
    {
        if (s[i])
            d[i] = s[i];
    }
};

struct GlyphKernel {
    unsigned char* d;
    const unsigned char* s;
    unsigned char offset;  // colour - 1
    template <class L> void chunk(int32_t i) const
    {
        const typename L::Reg v = L::load(s + i);
        L::store(d + i, L::select(L::zeros(v), L::load(d + i), L::add(v, L::splat(offset))));
    }
    void byte(int32_t i) const
    {
        if (s[i])
            d[i] = static_cast<unsigned char>(s[i] + offset);
    }
};

struct XorKernel {
    unsigned char* d;
    unsigned char mask;
    template <class L> void chunk(int32_t i) const { L::store(d + i, L::bitXor(L::load(d + i), L::splat(mask))); }
    void byte(int32_t i) const { d[i] ^= mask; }
};

// Chunks of lane L from i while they fit in n; returns where they stop.
template <class L, class Kernel> int32_t walkChunks(const Kernel& k, int32_t i, int32_t n)
{
    for (; n - i >= L::bytes; i += L::bytes)
        k.template chunk<L>(i);
    return i;
}

// Lanes widest first.
template <class... Lanes, class Kernel> void walkRow(const Kernel& k, int32_t n)
{
    int32_t i = 0;
    ((i = walkChunks<Lanes>(k, i, n)), ...);
    for (; i < n; ++i)
        k.byte(i);
}

// The kernel set over the given lanes, widest first.
template <class... Lanes> struct RowsOver {
    static void transparent(unsigned char* d, const unsigned char* s, int32_t n)
    {
        walkRow<Lanes...>(TransparentKernel{d, s}, n);
    }
    static void glyph(unsigned char* d, const unsigned char* s, int32_t n, unsigned char colour)
    {
        walkRow<Lanes...>(GlyphKernel{d, s, static_cast<unsigned char>(colour - 1)}, n);
    }
    static void xorSpan(unsigned char* d, int32_t n, unsigned char mask) { walkRow<Lanes...>(XorKernel{d, mask}, n); }
    static constexpr RowKernels kernels{transparent, glyph, xorSpan};
};

}  // namespace
