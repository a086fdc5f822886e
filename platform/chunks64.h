// The 64-byte chunks of the AVX-512 row kernels: chunk(i, lanes) is called
// for each chunk of [0, n), and the lanes of the last one that lie past n
// are masked off, so masked bytes are neither read nor written and no row
// ends in a byte loop. Only for files built with the AVX-512 options.
#pragma once

#include <immintrin.h>

#include <cstdint>

template <class Chunk> void walk64(int32_t n, Chunk chunk)
{
    int32_t i = 0;
    for (; n - i >= 64; i += 64)
        chunk(i, ~__mmask64{0});
    if (i < n)
        chunk(i, ~__mmask64{0} >> (64 - (n - i)));
}
