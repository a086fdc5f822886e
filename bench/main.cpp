// zelbench: pixels per second of the library's workloads beside Allegro 4
// and SDL2 doing the same on 8-bit memory bitmaps, and beside memset/memcpy
// of the same byte counts. Benchmarks are named
// "<zelgfx|allegro|sdl|limit>/<workload>/<width>x<height>" and run grouped
// by screen size.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench/common.h"

int main(int argc, char** argv)
{
    using namespace zelbench;
    for (const ScreenSize& size : screenSizes) {
        registerZelgfx(size);
#if ZELBENCH_HAVE_ALLEGRO
        registerAllegro(size);
#endif
#if ZELBENCH_HAVE_SDL
        registerSdl(size);
#endif
        registerLimits(size);
    }
#if !ZELBENCH_HAVE_ALLEGRO
    benchmark::AddCustomContext("zelbench_allegro", "missing: built without the Allegro 4 peers");
    std::fprintf(stderr, "zelbench: built without Allegro 4 (liballegro4-dev): no Allegro peers\n");
#else
    benchmark::AddCustomContext("zelbench_allegro", "included");
#endif
#if !ZELBENCH_HAVE_SDL
    benchmark::AddCustomContext("zelbench_sdl", "missing: built without the SDL2 peers");
    std::fprintf(stderr, "zelbench: built without SDL2 (libsdl2-dev): no SDL peers\n");
#else
    benchmark::AddCustomContext("zelbench_sdl", "included");
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shutdownZelgfx();
    return 0;
}
