// The CPU's wide instruction sets, read once through the compiler's CPUID
// support, and the kernel path chosen from them. Under WebAssembly the choice
// is made when the module is compiled.

#include "platform/cpu_features.h"

#include <strings.h>

#include <cstdlib>

namespace {

CpuPath detectWidest()
{
#if defined(__wasm__)
    // Built with -msimd128 -msse2, the SSE2 kernels compile to WebAssembly's
    // 128-bit SIMD, which every engine that accepted the module runs; there
    // are no wider forms.
#if defined(__wasm_simd128__) && defined(__SSE2__)
    return CpuPath::Sse2;
#else
    return CpuPath::Plain;
#endif
#else
    // Needed before the first query when this runs during start-up, ahead
    // of the compiler runtime's own initialiser.
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2"))
        return CpuPath::Sse2;
    const bool bytePermutes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                              __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi");
    return bytePermutes ? CpuPath::Avx512 : CpuPath::Avx2;
#endif
}

CpuPath fromEnvironment()
{
    const CpuPath widest = widestCpuPath();
    const char* wanted = std::getenv("ZEL_CPU");
    if (!wanted)
        return widest;
    static constexpr struct {
        const char* name;
        CpuPath path;
    } names[] = {{"plain", CpuPath::Plain}, {"sse2", CpuPath::Sse2}, {"avx2", CpuPath::Avx2},
                       {"avx512", CpuPath::Avx512}};
    for (const auto& n : names)
        if (strcasecmp(wanted, n.name) == 0)
            return n.path < widest ? n.path : widest;
    return widest;
}

}  // namespace

CpuPath cpuPathInUse = fromEnvironment();

CpuPath widestCpuPath()
{
    static const CpuPath widest = detectWidest();
    return widest;
}

CpuPath cpuPath()
{
    return cpuPathInUse;
}

bool selectCpuPath(CpuPath path)
{
    if (path > widestCpuPath())
        return false;
    cpuPathInUse = path;
    return true;
}
