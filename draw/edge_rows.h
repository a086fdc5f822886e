// The rows of a sloped polygon edge stored eight at a time with AVX-512:
// each row's column comes from one quotient instead of from the row before,
// so the rows do not wait on one another.
#pragma once

#include <cstdint>

#include "draw/poly.h"

// count rows after a row at column x with intensity i: row j (1 to count)
// lies at x + sx * floor((base + (j - 1) * twoAx) / twoAy) and has intensity
// i + j * step (wrapping). base is EdgeWalk::aheadBase(), 0 or more; with
// coordinates of 32 bits and at most ZelPolyRows rows the quotients'
// operands stay below 2^52.
struct EdgeRows {
    int64_t x, base, twoAx, twoAy;
    int32_t sx, i, step, count;
};

// Stores row j into side slot of columns[dir * (j - 1)], and its intensity
// likewise into intensities unless that is null; dir is 1 or -1. count is a
// multiple of 8. Only for CPUs with AVX-512 F.
void storeEdgeRowsAvx512(Point* columns, Point* intensities, int slot, int dir, const EdgeRows& e);
