// The physical limit of each workload: memset (workloads that only write) or
// memcpy (those that read a source) of the byte count the workload writes,
// into a buffer of the screen's size, as one call.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/common.h"

namespace zelbench {

namespace {

void add(const char* workload, Kind kind, const ScreenSize& size, long bytes)
{
    benchmark::RegisterBenchmark(benchName("limit", workload, size).c_str(), [=](benchmark::State& state) {
        const size_t screen = static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
        std::vector<unsigned char> to(screen, Background), from(screen, 2);
        const size_t n = static_cast<size_t>(bytes);
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
        report(state, bytes, touchedBytes(static_cast<int>(screen), 1, [&to](int) { return to.data(); }));
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
    const long sprite = long{SpriteSize} * SpriteSize;
    add(W::clear, Kind::Fill, size, screen);
    add(W::bar, Kind::Fill, size, s.barPixels);
    add(W::spriteTransparent, Kind::Copy, size, sprite);
    add(W::spriteOpaque, Kind::Copy, size, sprite);
    add(W::screenOpaque, Kind::Copy, size, screen);
    add(W::zoomUp, Kind::Copy, size, 4 * sprite);
    add(W::zoomDown, Kind::Copy, size, sprite / 4);
    add(W::rotate, Kind::Copy, size, s.rotatePixels);
    add(W::hexagon, Kind::Fill, size, s.hexagonPixels);
    add(W::gouraud, Kind::Fill, size, s.trianglePixels);
    add(W::gouraudFillOnly, Kind::Fill, size, s.trianglePixels);
    add(W::shadedBar, Kind::Copy, size, screen);
    add(W::shadedImage, Kind::Copy, size, sprite);
    add(W::shadeScale, Kind::Copy, size, sprite);
    add(W::sideFill, Kind::Copy, size, screen);
    add(W::floorFill, Kind::Copy, size, screen);
}

}  // namespace zelbench
