// The physical limit of each workload: memset (workloads that only write) or
// memcpy (those that read a source) of the byte count one batch writes, as
// one call, into a buffer of the screen's size. Only the full-screen clear
// and copy are held to it; for the others it is shown for reference.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/common.h"

namespace zelbench {

namespace {

// calls: the calls of the workload's batch, so that the time per call is the
// limit's share of each of them.
void add(const char* workload, Kind kind, const ScreenSize& size, long bytes, long calls = CallsPerBatch)
{
    benchmark::RegisterBenchmark(benchName("limit", workload, size).c_str(), [=](benchmark::State& state) {
        const size_t screen = static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
        const size_t n = static_cast<size_t>(bytes);
        std::vector<unsigned char> to(std::max(screen, n), Background), from(std::max(screen, n), 2);
        unsigned char* dst = to.data();
        const unsigned char* src = from.data();
        if (kind == Kind::Fill)
            for (auto _ : state) {
                benchmark::DoNotOptimize(dst);
                std::memset(dst, 7, n);
                benchmark::ClobberMemory();
            }
        else
            for (auto _ : state) {
                benchmark::DoNotOptimize(dst);
                benchmark::DoNotOptimize(src);
                std::memcpy(dst, src, n);
                benchmark::ClobberMemory();
            }
        report(state, bytes, calls, touchedBytes(static_cast<int>(screen), 1, [&to](int) { return to.data(); }));
        state.SetLabel(kind == Kind::Fill ? "memset" : "memcpy");
    });
}

}  // namespace

// Lines and text have no byte-count equivalent worth the name: their pixels
// are scattered, so they get no limit.
void registerLimits(const ScreenSize& size)
{
    const Scene& s = sceneFor(size);
    const long screen = long{size.width} * size.height;
    add(W::clear, Kind::Fill, size, screen, 1);
    add(W::screenOpaque, Kind::Copy, size, screen, 1);
    add(W::bar, Kind::Fill, size, s.barPixels);
    add(W::spriteTransparent, Kind::Copy, size, s.spritePixels);
    add(W::spriteOpaque, Kind::Copy, size, s.spritePixels);
    add(W::zoomUp, Kind::Copy, size, s.zoomUpPixels);
    add(W::zoomDown, Kind::Copy, size, s.zoomDownPixels);
    add(W::rotate, Kind::Copy, size, s.rotatePixels);
    add(W::polygon, Kind::Fill, size, s.hexagonPixels);
    add(W::gouraud, Kind::Fill, size, s.trianglePixels);
    add(W::shadedBar, Kind::Copy, size, s.barPixels);
    add(W::shadedImage, Kind::Copy, size, s.spritePixels);
    add(W::shadeScale, Kind::Copy, size, s.spritePixels);
    add(W::sideFill, Kind::Copy, size, s.wallPixels);
    add(W::floorFill, Kind::Copy, size, s.floorPixels);
}

}  // namespace zelbench
