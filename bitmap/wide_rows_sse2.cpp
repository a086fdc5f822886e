// The SSE2 kernel set: 16 bytes at a time, then 8 and 4, then single bytes.
// SSE2 is part of every x86-64 CPU, so this file needs no special options.

#include "bitmap/wide_rows.h"

#include "bitmap/wide_rows_lanes128.h"
#include "bitmap/wide_rows_walk.h"

constinit const RowKernels sse2RowKernels = RowsOver<Lanes16, Lanes8, Lanes4>::kernels;
