// Which wide instruction sets the pixel kernels may use: asked of the CPU
// once, narrowed by the environment variable ZEL_CPU, and switchable at run
// time so that tests and benchmarks can run every path on one machine.
#pragma once

#include "video/zelapi.h"

// Kernel paths, narrowest first; each CPU that runs a path runs those before
// it. SSE2 is part of every x86-64 CPU; under WebAssembly it is the SSE2
// kernels built as 128-bit SIMD (-msimd128 -msse2), and the widest path.
// Avx512 is AVX-512 with the byte permutes (BW, VL and VBMI); where a kernel has
// no form of its own for a path, the next narrower form serves.
enum class CpuPath { Plain, Sse2, Avx2, Avx512 };

// The widest path this CPU runs.
ZELGFX_API CpuPath widestCpuPath();
// The path in use. Settled when the library loads: the path ZEL_CPU names
// ("plain", "sse2", "avx2" or "avx512", in any case; narrowed to what this CPU runs),
// else the widest.
ZELGFX_API CpuPath cpuPath();
// Uses the given path from now on. False, with nothing changed, when this CPU
// cannot run it.
ZELGFX_API bool selectCpuPath(CpuPath path);

// The path in use, as the library's own kernels read it without a call. It
// is settled while the library loads; before that it holds Plain, which every
// CPU runs.
extern CpuPath cpuPathInUse;
