// Mapping a row of pixels through a 256-entry table, 64 pixels at a time
// with the AVX-512 byte permutes.
#pragma once

#include <cstdint>

// d[i] = map[s[i]] for the n pixels; d and s may be the same row. Touches no
// byte outside the rows. Only for CPUs with AVX-512 BW and VBMI.
void mapRowAvx512(unsigned char* d, const unsigned char* s, int32_t n, const unsigned char* map);
// The same for the non-zero s[i] only: d[i] keeps its byte where s[i] is 0.
// d and s must not overlap.
void mapOpaqueRowAvx512(unsigned char* d, const unsigned char* s, int32_t n, const unsigned char* map);
