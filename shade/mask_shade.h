// Shading a screen row through a row of mask bytes, sixteen pixels at a time
// with AVX-512 gathers from the shade tables.
#pragma once

#include <cstdint>

// For each of the n pixels whose mask byte m[i] is not 0, d[i] becomes its
// own colour at shade value m[i] (signed) from the tables dark and light of
// ZelShadeTableBytes each; d[i] stays where m[i] is 0. d and m must not
// overlap. Only for CPUs with AVX-512 F, BW and VL.
void shadeByMaskAvx512(unsigned char* d, const unsigned char* m, int32_t n, const unsigned char* dark,
                       const unsigned char* light);
