// The video calls a scene can make, and the state it can read back as text:
// the video core, the test driver's record of the calls it received, the
// palette store, the driver services replaced by recorders, the fades, and
// the frames the headless driver writes.

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>
#include <utility>

#include "../drivers/test_driver.h"
#include "draw/poly.h"
#include "font/font.h"
#include "test_files.h"
#include "scene_args.h"
#include "video/driver.h"
#include "video/last_error.h"
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

const TestDriverState* testDriver()
{
    const auto state = driverModule ? reinterpret_cast<TestDriverStateFn>(GetProcAddress(driverModule, "testDriverState"))
                                    : nullptr;
    return state ? state() : nullptr;
}

std::string bytes(const unsigned char* p, int count)
{
    std::ostringstream s;
    for (int i = 0; i < count; ++i)
        s << (i ? " " : "") << int{p[i]};
    return s.str();
}

// What the current test driver recorded; "none" without one.
std::string driverState()
{
    const TestDriverState* d = testDriver();
    if (!d)
        return "none";
    std::ostringstream s;
    s << "hooks=" << d->hooks << " refreshes=" << d->refreshes << " modes=" << d->videoModes
      << " texts=" << d->textModes << " palettes=" << d->paletteCalls << " shake=" << d->lastShake
      << " first=" << int{d->firstPixelAtRefresh} << " others=" << d->refreshedBytesNotFirst << " settings="
      << (d->lastModeArgument == reinterpret_cast<uintptr_t>(&ZelVideo::Settings) ? "yes" : "no")
      << " memory=" << (d->videoMemory && *d->videoMemory == videoMemory ? "shared" : "other");
    return s.str();
}

std::string preloads()
{
    std::string s;
    for (const ZelPreloadSlot& slot : preloadTable)
        s += std::string(slot.name ? slot.name : "-") + (slot.module ? "+" : "") + " ";
    return s.substr(0, s.size() - 1);
}

// The recorders stand for the driver's services. A palette sent whole is
// written as the level of darkness that gives it from the reference slot
// ("p-" black, "p?" none); one sent in part as its first entry and count.
std::string serviceLog;
int referenceSlot = 0;

void note(const std::string& event)
{
    serviceLog += (serviceLog.empty() ? "" : " ") + event;
}

void recordPalette(unsigned short first, unsigned short count, unsigned char* rgb)
{
    if (first != 0 || count != ZelPaletteEntries)
        return note("p" + std::to_string(first) + "+" + std::to_string(count));
    const unsigned char* ref = palettes[referenceSlot];
    std::string level = std::all_of(rgb, rgb + ZelPaletteBytes, [](unsigned char v) { return v == 0; }) ? "-" : "?";
    for (int l = 0; l <= 255 && level == "?"; ++l) {
        int i = 0;
        while (i < ZelPaletteBytes && rgb[i] == std::max(ref[i] - l, 0))
            ++i;
        if (i == ZelPaletteBytes)
            level = std::to_string(l);
    }
    note("p" + level);
}

// Replaces the services named by letters (p: the driver's palette service,
// s: the exported setPalette as the relay, d: disableLowerBar, r: refresh);
// the others become missing.
void recordServices(const char* which, int reference)
{
    const std::string w = which;
    referenceSlot = reference;
    serviceLog.clear();
    driverSetPalette = w.find('p') != std::string::npos ? recordPalette : nullptr;
    ::setPalette = w.find('s') != std::string::npos ? paletteRelay : nullptr;
    disableLowerBar = w.find('d') != std::string::npos ? +[] { note("d"); } : nullptr;
    refresh = w.find('r') != std::string::npos ? +[] { note("r"); } : nullptr;
}

// A fade of a copy of a palette slot (-1: a handle that does not resolve).
// The callbacks note "c" for each step that lasted its share of the duration
// ("c<" for one that did not); "none" is no callback, "allocate" also moves every movable block,
// "free" frees the palette at the tenth step.
HSimple<unsigned char> fadePalette;
int fadeStep = 0, fadeCalls = 0;

int noteStep(int ms)
{
    ++fadeCalls;
    note(ms >= fadeStep ? "c" : "c<");
    return 0;
}

template <void (*Fade)(int, HSimple<unsigned char>, int (*)(int))>
std::string fade(int duration, int slot, const char* callback)
{
    const std::string how = callback;
    const bool wasMoving = ZelMem::MoveOnAlloc();
    fadeStep = duration >> 6;
    fadeCalls = 0;
    if (slot >= 0 && fadePalette.alloc(ZelPaletteBytes))
        std::memcpy(fadePalette.get(), palettes[slot], ZelPaletteBytes);
    ZelMem::SetMoveOnAlloc(how == "allocate");
    Fade(duration, fadePalette,
         how == "none"       ? nullptr
         : how == "allocate" ? +[](int ms) {
               HSimple<unsigned char> scratch;
               scratch.alloc(16);
               scratch.release();
               return noteStep(ms);
           }
         : how == "free" ? +[](int ms) {
               if (noteStep(ms) == 0 && fadeCalls == 10)
                   fadePalette.release();
               return 0;
           }
                         : noteStep);
    ZelMem::SetMoveOnAlloc(wasMoving);
    const bool changed = fadePalette.resolves() && std::memcmp(fadePalette.get(), palettes[slot], ZelPaletteBytes);
    fadePalette.release();
    std::string log = serviceLog + (changed ? " changed" : "");
    serviceLog.clear();
    return log;
}

// A PNG's size, and the index and 8-bit colour of its pixel (x, y); "none" without one.
std::string pngPixel(const char* path, int x, int y)
{
    IndexedPng png;
    if (!readIndexedPng(path, png) || x >= png.width || y >= png.height || png.rgb.size() != ZelPaletteBytes)
        return "none";
    const int v = png.pixels[static_cast<size_t>(y * png.width + x)];
    return std::to_string(png.width) + "x" + std::to_string(png.height) + " " + std::to_string(v) + ": " +
           bytes(png.rgb.data() + 3 * v, 3);
}

std::string getStat()
{
    ZelVideoStatistics s{};
    ZelVideo::getStat(&s);
    std::ostringstream o;
    o << s.zoomCalls << " " << s.zoomMuls << " " << s.rotCalls << " " << s.rotMuls << " " << s.scaleCalls << " "
      << s.scaleMuls << " " << s.fillCalls << " " << s.fillMuls;
    return o.str();
}

}  // namespace

void resetVideoCalls()
{
    serviceLog.clear();
}

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
        {"ZelVideo::FadeOut", sceneInvoker(fade<ZelVideo::FadeOut>)},
        {"ZelVideo::FadeIn", sceneInvoker(fade<ZelVideo::FadeIn>)},
        {"ZelVideo::initStat", sceneInvoker(ZelVideo::initStat)},
        {"ZelVideo::getStat", sceneInvoker(getStat)},
        {"ZelVideoWinEvent", sceneInvoker(+[] { return ZelVideoWinEvent ? ZelVideoWinEvent(0, 0, 0, 0) : -99; })},
        {"initGraphicsData", sceneInvoker(initGraphicsData)},
        {"deinitGraphics", sceneInvoker(deinitGraphics)},
        {"setGraphicsDriver", sceneInvoker(setGraphicsDriver)},
        {"preloadGraphicsDriver", sceneInvoker(preloadGraphicsDriver)},
        {"switchGraphicsDriver", sceneInvoker(switchGraphicsDriver)},
        {"releasePreloadTable", sceneInvoker(releasePreloadTable)},
        {"ZelFont::load", sceneInvoker(static_cast<int (*)(const char*, const char*)>(ZelFont::load))},
        {"ZelFont::unloadAll", sceneInvoker(ZelFont::unloadAll)},
        {"ZelBitmap::Load", sceneInvoker(static_cast<HClass<ZelBitmap> (*)(const char*, const char*, unsigned char)>(
                                ZelBitmap::Load))},
        {"zelGetError", sceneInvoker(+[] { return std::string(zelGetError()); })},
        {"zelClearError", sceneInvoker(zelClearError)},
        {"LoadLibraryA", sceneInvoker(LoadLibraryA)},
        {"FreeLibrary", sceneInvoker(FreeLibrary)},
        {"GetProcAddress", sceneInvoker(+[](HMODULE m, const char* name) {
             return std::string(GetProcAddress(m, name) ? "found" : "null");
         })},
        {"driverModule", sceneInvoker(+[] { return driverModule; })},
        {"preloadModule", sceneInvoker(+[](int slot) { return preloadTable[slot].module; })},
        {"refresh", sceneInvoker(+[] { refresh ? refresh() : void(); })},
        {"png", sceneInvoker(pngPixel)},
        {"appendPath", sceneInvoker(+[] { return std::string(ZelSystem::AppendPath); })},
        {"video", sceneInvoker(videoState)},
        {"driver", sceneInvoker(driverState)},
        {"preloads", sceneInvoker(preloads)},
        {"palettes", sceneInvoker(+[](int slot, int first, int count) { return bytes(palettes[slot] + first, count); })},
        {"getPalette", sceneInvoker(+[](int first, int count) {
             unsigned char out[ZelPaletteBytes];
             const int result = getPalette(out);
             return std::to_string(result) + ": " + bytes(out + first, count);
         })},
        {"fillPalette", sceneInvoker(+[](int slot, int a, int b) {
             for (int i = 0; i < ZelPaletteBytes; ++i)
                 palettes[slot][i] = static_cast<unsigned char>(a * i + b);
         })},
        {"paletteRelay", sceneInvoker(+[](int first, int count, int slot) {
             paletteRelay(static_cast<unsigned short>(first), static_cast<unsigned short>(count),
                          slot < 0 ? nullptr : palettes[slot]);
         })},
        {"paletteName", sceneInvoker(+[] { return std::string(paletteName); })},
        {"gammaOffset", sceneInvoker(+[] {
             std::ostringstream s;
             s << gammaOffset;
             return s.str();
         })},
        {"recordServices", sceneInvoker(recordServices)},
        {"services", sceneInvoker(+[] { return std::exchange(serviceLog, std::string()); })},
        {"testDriverPalette", sceneInvoker(+[](int first, int count) {
             const TestDriverState* d = testDriver();
             return d ? bytes(d->palette + first, count) : std::string("none");
         })},
    });
}

}  // namespace zeltest
