// The video calls a scene can make, and the state it can read back as text:
// the video core, the test driver's record of the calls it received, the
// preload table and palette bytes.

#include <map>
#include <sstream>

#include "../drivers/test_driver.h"
#include "draw/poly.h"
#include "font/font.h"
#include "scene_args.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"
#include "video/video.h"

namespace zeltest {

namespace {

// "graphOn screen capacity rows fonts shades module": the rows are "ok" when
// the row table and the last pixel's address match the screen's size.
std::string videoState()
{
    std::ostringstream s;
    s << "graphOn=" << int{ZelVideo::graphOn} << " screen=" << scrWidth << "x" << scrHeight
      << " capacity=" << screenCapacity;
    bool rows = ZelVideo::lineOff && ZelVideo::maxVideoMemory == videoMemory + scrWidth * scrHeight - 1;
    for (int y = 0; rows && y <= scrHeight; ++y)
        rows = ZelVideo::lineOff[y] == y * scrWidth;
    s << " rows=" << (rows ? "ok" : ZelVideo::lineOff ? "stale" : "none") << " fonts=" << ZelFont::nFonts;
    if (ZelFont::nFonts > 0)
        s << " current=" << (ZelFont::currentFont == ZelFont::fonts.get()[0].handle ? "0" : "other");
    // The tables' bytes are known once video is up; before, only that they are there.
    s << " shades=";
    if (ZelVideo::shadeDark && ZelVideo::graphOn)
        s << int{ZelVideo::shadeDark[100]} << "," << int{ZelVideo::shadeLight[100]};
    else
        s << (ZelVideo::shadeDark ? "made" : "none");
    s << " module=" << (driverModule ? "yes" : "no") << " poly=" << (polyBuffer.resolves() ? "yes" : "no");
    return s.str();
}

// What the current test driver recorded; "none" without one.
std::string driverState()
{
    const auto state = driverModule ? reinterpret_cast<TestDriverStateFn>(GetProcAddress(driverModule, "testDriverState"))
                                    : nullptr;
    if (!state)
        return "none";
    const TestDriverState& d = *state();
    std::ostringstream s;
    s << "hooks=" << d.hooks << " refreshes=" << d.refreshes << " modes=" << d.videoModes
      << " texts=" << d.textModes << " palettes=" << d.paletteCalls << " shake=" << d.lastShake
      << " first=" << int{d.firstPixelAtRefresh} << " others=" << d.refreshedBytesNotFirst << " settings="
      << (d.lastModeArgument == reinterpret_cast<uintptr_t>(&ZelVideo::Settings) ? "yes" : "no")
      << " memory=" << (d.videoMemory && *d.videoMemory == videoMemory ? "shared" : "other");
    return s.str();
}

std::string preloads()
{
    std::string s;
    for (const ZelPreloadSlot& slot : preloadTable)
        s += std::string(slot.name ? slot.name : "-") + (slot.module ? "+" : "") + " ";
    return s.substr(0, s.size() - 1);
}

std::string bytes(const unsigned char* p, int count)
{
    std::ostringstream s;
    for (int i = 0; i < count; ++i)
        s << (i ? " " : "") << int{p[i]};
    return s.str();
}

}  // namespace

void addVideoCalls(std::map<std::string, SceneInvoker>& calls)
{
    calls.insert({
        {"ZelVideo::init", sceneInvoker(ZelVideo::init)},
        {"ZelVideo::change", sceneInvoker(ZelVideo::change)},
        {"ZelVideo::preload", sceneInvoker(ZelVideo::preload)},
        {"ZelVideo::deinit", sceneInvoker(ZelVideo::deinit)},
        {"ZelVideo::loadPalette", sceneInvoker(ZelVideo::loadPalette)},
        {"ZelVideo::setPalette", sceneInvoker(ZelVideo::setPalette)},
        {"ZelVideo::Shake", sceneInvoker(ZelVideo::Shake)},
        {"ZelVideo::SetGammaCorrection", sceneInvoker(ZelVideo::SetGammaCorrection)},
        {"ZelVideoWinEvent", sceneInvoker(+[] { return ZelVideoWinEvent ? ZelVideoWinEvent(0, 0, 0, 0) : -99; })},
        {"initGraphicsData", sceneInvoker(initGraphicsData)},
        {"deinitGraphics", sceneInvoker(deinitGraphics)},
        {"setGraphicsDriver", sceneInvoker(setGraphicsDriver)},
        {"preloadGraphicsDriver", sceneInvoker(preloadGraphicsDriver)},
        {"switchGraphicsDriver", sceneInvoker(switchGraphicsDriver)},
        {"releasePreloadTable", sceneInvoker(releasePreloadTable)},
        {"ZelFont::load", sceneInvoker(static_cast<int (*)(const char*, const char*)>(ZelFont::load))},
        {"ZelFont::unloadAll", sceneInvoker(ZelFont::unloadAll)},
        {"video", sceneInvoker(videoState)},
        {"driver", sceneInvoker(driverState)},
        {"preloads", sceneInvoker(preloads)},
        {"palettes", sceneInvoker(+[](int slot, int first, int count) { return bytes(palettes[slot] + first, count); })},
        {"paletteShadow", sceneInvoker(+[](int first, int count) { return bytes(paletteShadow + first, count); })},
        {"testDriverPalette", sceneInvoker(+[](int first, int count) {
             const auto state = reinterpret_cast<TestDriverStateFn>(GetProcAddress(driverModule, "testDriverState"));
             return state ? bytes(state()->palette + first, count) : std::string("none");
         })},
    });
}

}  // namespace zeltest
