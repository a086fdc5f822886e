// The order of the scenes, the tour a frame at a time with its keys,
// progress, fades and shake, and the paced loop around it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "drivers/canvas/canvas.h"
#include "tools/zeldemo/demo.h"
#include "video/palette.h"
#include "video/screen.h"
#include "video/video.h"

namespace zeldemo {

const Scene tourScenes[] = {
    {"panel", 90, drawPanel, nullptr},       {"lines", 90, drawLines, finishLines},
    {"polygons", 90, drawPolygons, nullptr}, {"sprites", 120, drawSprites, nullptr},
    {"shading", 90, drawShading, nullptr},   {"corridor", 120, drawCorridor, nullptr},
};
const int tourSceneCount = static_cast<int>(sizeof tourScenes / sizeof tourScenes[0]);

namespace {

constexpr int Corridor = 5;  // entered through black, shaken half-way

// Every frame on one updated line on a terminal, one line per scene otherwise
// (logs stay short).
void progress(int scene, int frame, bool interactive)
{
    if (interactive)
        std::printf("\rzeldemo: scene %d/%d %-9s frame %3d/%d", scene + 1, tourSceneCount, tourScenes[scene].name,
                    frame + 1, tourScenes[scene].frames);
    else if (frame == 0)
        std::printf("zeldemo: scene %d/%d %s\n", scene + 1, tourSceneCount, tourScenes[scene].name);
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

}  // namespace

Tour::Tour(const Assets& assets, const TourOptions& options)
    : assets(assets), options(options), palette(paletteCopy()), fadeTime(options.fps && options.timedFades ? 500 : 0)
{
}

Tour::~Tour()
{
    if (!over)
        leaveScene();
    palette.release();
}

void Tour::readKeys()
{
    if (!ZelVideoWinEvent)
        return;
    // A driver answers one event a call (canvas.drv) or all pending ones at
    // once (mcga.drv); either way 0 ends them.
    for (int n = 0; n < 16 && !done.userQuit; ++n) {
        const signed char event = ZelVideoWinEvent(0, 0, 0, 0);
        if (event == zelcanvas::NoEvent)
            break;
        if (event == zelcanvas::Space)
            halted = !halted;
        else if (event == zelcanvas::Left || event == zelcanvas::Up)
            enterScene(scene > 0 ? scene - 1 : 0);
        else if (event == zelcanvas::Right || event == zelcanvas::Down)
            enterScene(scene + 1);
        else
            done.userQuit = true;  // Esc, the window closed, or a key this tour does not know
    }
}

void Tour::leaveScene()
{
    if (tourScenes[scene].finish)
        tourScenes[scene].finish();
}

// Scene next from its first frame; past the last one the tour ends, with a
// fade out, or starts again when looping.
void Tour::enterScene(int next)
{
    leaveScene();
    frame = 0;
    scene = next;
    if (scene < tourSceneCount)
        return;
    scene = 0;
    if (options.loop)
        return;
    over = true;
    ZelVideo::FadeOut(fadeTime, palette, nullptr);
}

bool Tour::step()
{
    readKeys();
    if (done.userQuit && !over) {
        leaveScene();
        over = true;
    }
    if (over || halted)
        return !over;
    if (options.frames >= 0 && done.shown >= options.frames) {
        leaveScene();
        over = true;
        return false;
    }
    const bool throughBlack = scene == Corridor && frame == 0;
    if (throughBlack)
        ZelVideo::FadeOut(fadeTime, palette, nullptr);
    tourScenes[scene].draw(frame, assets);
    if (throughBlack)
        ZelVideo::FadeIn(fadeTime, palette, nullptr);
    if (scene == Corridor && frame == tourScenes[scene].frames / 2)
        ZelVideo::Shake(12);
    refresh();
    if (options.afterRefresh)
        options.afterRefresh(options.context);
    ++done.shown;
    progress(scene, frame, options.interactive);
    if (++frame == tourScenes[scene].frames)
        enterScene(scene + 1);
    return true;
}

TourResult runTour(const Assets& assets, const TourOptions& options)
{
    Tour tour(assets, options);
    const auto frameTime = std::chrono::microseconds(options.fps ? 1000000 / options.fps : 0);
    const auto pausedTime = std::chrono::milliseconds(30);  // while paused, keys are read this often
    for (;;) {
        const auto start = std::chrono::steady_clock::now();
        if (!tour.step())
            break;
        std::this_thread::sleep_until(start + (tour.paused() ? std::max<std::chrono::microseconds>(frameTime, pausedTime)
                                                             : frameTime));
    }
    return tour.result();
}

}  // namespace zeldemo
