// The plain byte-loop kernels, the reference every wide path must match, and
// the choice of a kernel set by CPU path.

#include "bitmap/wide_rows.h"

#include "bitmap/wide_rows_walk.h"

constinit const RowKernels plainRowKernels = RowsOver<>::kernels;

const RowKernels& rowKernels(CpuPath path)
{
    return rowKernelsOf(path > widestCpuPath() ? widestCpuPath() : path);
}
