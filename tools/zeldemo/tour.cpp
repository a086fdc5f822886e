// The order of the scenes, the frame loop with its pacing and progress, the
// fades and the shake.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "tools/zeldemo/demo.h"
#include "video/palette.h"
#include "video/screen.h"
#include "video/video.h"

namespace zeldemo {

namespace {

const Scene tour[] = {
    {"panel", 90, drawPanel, nullptr},       {"lines", 90, drawLines, finishLines},
    {"polygons", 90, drawPolygons, nullptr}, {"sprites", 120, drawSprites, nullptr},
    {"shading", 90, drawShading, nullptr},   {"corridor", 120, drawCorridor, nullptr},
};
constexpr int SceneCount = static_cast<int>(sizeof tour / sizeof tour[0]);

// Every frame on one updated line on a terminal, one line per scene otherwise
// (logs stay short).
void progress(int scene, int frame, bool interactive)
{
    if (interactive)
        std::printf("\rzeldemo: scene %d/%d %-9s frame %3d/%d", scene + 1, SceneCount, tour[scene].name, frame + 1,
                    tour[scene].frames);
    else if (frame == 0)
        std::printf("zeldemo: scene %d/%d %s\n", scene + 1, SceneCount, tour[scene].name);
    std::fflush(stdout);
}

// A 768-byte palette handle holding slot 0, for the fades.
HSimple<unsigned char> paletteCopy()
{
    HSimple<unsigned char> copy;
    copy.alloc(ZelPaletteBytes);
    if (unsigned char* p = copy.get())
        std::memcpy(p, palettes[0], ZelPaletteBytes);
    return copy;
}

bool userQuits()
{
    return ZelVideoWinEvent && ZelVideoWinEvent(0, 0, 0, 0) != 0;
}

}  // namespace

TourResult runTour(const Assets& assets, const TourOptions& options)
{
    TourResult result;
    HSimple<unsigned char> palette = paletteCopy();
    const int fadeTime = options.fps ? 500 : 0;
    const auto frameTime = std::chrono::microseconds(options.fps ? 1000000 / options.fps : 0);
    bool enough = false;
    for (int s = 0; s < SceneCount && !result.userQuit && !enough; ++s) {
        for (int f = 0; f < tour[s].frames && !result.userQuit; ++f) {
            if (options.frames >= 0 && result.shown >= options.frames) {
                enough = true;
                break;
            }
            const auto start = std::chrono::steady_clock::now();
            tour[s].draw(f, assets);
            if (s == 0 && f == 0)
                ZelVideo::FadeIn(fadeTime, palette, nullptr);
            if (s == SceneCount - 1 && f == tour[s].frames / 2)
                ZelVideo::Shake(12);
            refresh();
            if (options.afterRefresh)
                options.afterRefresh(options.context);
            ++result.shown;
            progress(s, f, options.interactive);
            result.userQuit = userQuits();
            std::this_thread::sleep_until(start + frameTime);
        }
        if (tour[s].finish)
            tour[s].finish();
    }
    if (!result.userQuit && !enough)
        ZelVideo::FadeOut(fadeTime, palette, nullptr);
    palette.release();
    return result;
}

}  // namespace zeldemo
