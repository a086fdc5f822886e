// One row of the floor fill 16 pixels at a time with AVX-512 gathers.
#pragma once

#include <cstdint>

// dst[k] = tile[((v_k >> 10) & 63) << 6 | ((u_k >> 10) & 63)] for k < count,
// with u_k = u + k du and v_k = v + k dv wrapping as 32-bit values. The three
// bytes before the tile must be readable (the bitmap's record lies there).
// Only for CPUs with AVX-512 BW and VL.
void floorRowAvx512(unsigned char* dst, int32_t count, uint32_t u, uint32_t v, uint32_t du, uint32_t dv,
                    const unsigned char* tile);
