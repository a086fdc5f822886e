// canvas.drv: shows the screen in the page's canvas (Module.canvas) through
// the current palette. The canvas holds the screen pixel for pixel and the
// page shows it at a whole scale, without smoothing. Key presses on the page
// (Escape, space, the arrows) queue up for winEvent. Every refresh writes
// the frame's number, counted from 0 at setVideoMode as the headless driver
// numbers its files, into the canvas's data-frame attribute.
//
// Configuration (ZelSystem::GetRegistryString keys, e.g. the environment
// variable ZEL_canvas_scale, which the showcase's page takes as
// ?env=ZEL_canvas_scale=3): canvas_width (320), canvas_height (200),
// canvas_scale (0: the largest whole factor that fits the window;
// ZelVideo::Settings.scale wins when non-zero).

#include "drivers/canvas/canvas.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "drivers/driver_api.h"
#include "drivers/driver_common.h"
#include "platform/platform.h"
#include "video/video.h"

// Sizes the canvas to the screen and keeps its shown size a whole multiple
// of it (scale, or the largest that fits) as the window changes. 0 when the
// page has no canvas.
EM_JS(int, zelCanvasOpen, (int width, int height, int scale), {
    const canvas = Module['canvas'];
    if (!canvas || !canvas.getContext || !canvas.getContext('2d'))
        return 0;
    canvas.width = width;
    canvas.height = height;
    canvas.style.imageRendering = 'pixelated';
    const fit = function() {
        const room = canvas.parentElement ? canvas.parentElement.clientWidth : window.innerWidth;
        const s = scale || Math.max(1, Math.floor(Math.min(room / width, (window.innerHeight - 8) / height)));
        canvas.style.width = (width * s) + 'px';
        canvas.style.height = (height * s) + 'px';
    };
    if (Module['zelCanvasFit'])
        window.removeEventListener('resize', Module['zelCanvasFit']);
    Module['zelCanvasFit'] = fit;
    window.addEventListener('resize', fit);
    fit();
    return 1;
});

// Puts the RGBA pixels on the canvas, numbers the frame and moves the canvas
// by (dx, dy) screen pixels.
EM_JS(void, zelCanvasShow, (const uint32_t* rgba, int width, int height, int frame, int dx, int dy), {
    const canvas = Module['canvas'];
    const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    canvas.getContext('2d').putImageData(new ImageData(pixels, width, height), 0, 0);
    canvas.dataset.frame = frame;
    const unit = canvas.clientWidth / width;
    canvas.style.transform = dx || dy ? 'translate(' + dx * unit + 'px,' + dy * unit + 'px)' : "";
});

namespace zelcanvas {

namespace {

struct Canvas {
    int width = 320;
    int height = 200;
    unsigned char** screen = nullptr;
    zeldrv::Palette6 palette;
    std::vector<uint32_t> rgba;  // the frame as the canvas takes it
    std::deque<WinEvent> keys;
    long frames = 0;
    int shakeFrames = 0;
    bool open = false;
    const char* error = nullptr;
} state;

constexpr size_t KeysKept = 16;

EM_BOOL onKey(int, const EmscriptenKeyboardEvent* event, void*)
{
    static constexpr struct {
        const char* key;
        WinEvent event;
    } known[] = {{"Escape", Escape},  {" ", Space},     {"ArrowLeft", Left},
                 {"ArrowRight", Right}, {"ArrowUp", Up}, {"ArrowDown", Down}};
    for (const auto& k : known) {
        if (std::strcmp(event->key, k.key) != 0)
            continue;
        if (!event->repeat && state.keys.size() < KeysKept)
            state.keys.push_back(k.event);
        return EM_TRUE;  // the page neither scrolls nor does anything else with it
    }
    return EM_FALSE;
}

signed char hookDevice(ZelDeviceRect* rect, unsigned char** videoMemory)
{
    state.width = std::clamp(static_cast<int>(zeldrv::configNumber("canvas_width", 320)), 1, 4096);
    state.height = std::clamp(static_cast<int>(zeldrv::configNumber("canvas_height", 200)), 1, 4096);
    rect->right = state.width;
    rect->bottom = state.height;
    state.screen = videoMemory;
    return -1;
}

signed char setVideoMode(uintptr_t address)
{
    const auto* settings = reinterpret_cast<const VideoSettings*>(address);
    const int scale = std::clamp(settings && settings->scale ? int(settings->scale)
                                                             : int(zeldrv::configNumber("canvas_scale", 0)),
                                 0, 16);
    if (!zelCanvasOpen(state.width, state.height, scale)) {
        state.error = "canvas.drv: the page has no canvas to draw on (Module.canvas)";
        return 0;
    }
    state.rgba.assign(static_cast<size_t>(state.width) * state.height, 0xff000000u);
    state.keys.clear();
    state.frames = 0;
    state.shakeFrames = 0;
    state.error = nullptr;
    state.open = true;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, onKey);
    return -1;
}

// The page has no text mode: the last frame stays on the canvas, and keys
// go back to the page.
signed char setTextMode(uintptr_t)
{
    if (state.open)
        emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, nullptr);
    state.open = false;
    state.keys.clear();
    return -1;
}

const char* lastError()
{
    return state.error;
}

void setPalette(unsigned short first, unsigned short count, unsigned char* rgb)
{
    state.palette.load(first, count, rgb);
}

// The screen through the palette into the canvas, displaced on the page
// while a shake lasts (the canvas's pixels never move).
void refresh()
{
    if (!state.open || !state.screen || !*state.screen)
        return;
    uint32_t colour[256];
    for (int i = 0; i < 256; ++i)  // bytes red, green, blue, alpha in memory
        colour[i] = 0xff000000u | uint32_t(zeldrv::expand6to8(state.palette.rgb[3 * i + 2])) << 16 |
                    uint32_t(zeldrv::expand6to8(state.palette.rgb[3 * i + 1])) << 8 |
                    zeldrv::expand6to8(state.palette.rgb[3 * i]);
    const unsigned char* pixels = *state.screen;
    for (size_t i = 0; i < state.rgba.size(); ++i)
        state.rgba[i] = colour[pixels[i]];
    int dx = 0, dy = 0;
    if (state.shakeFrames > 0) {
        const int reach = std::min(state.shakeFrames, 4);
        dx = state.shakeFrames % 2 ? reach : -reach;
        dy = state.shakeFrames % 3 ? -reach / 2 : reach / 2;
        --state.shakeFrames;
    }
    zelCanvasShow(state.rgba.data(), state.width, state.height, static_cast<int>(state.frames), dx, dy);
    ++state.frames;
}

void shake(int frames)
{
    state.shakeFrames = std::max(frames, 0);
}

signed char winEvent(unsigned int, unsigned int, unsigned short, unsigned int)
{
    if (state.keys.empty())
        return NoEvent;
    const WinEvent next = state.keys.front();
    state.keys.pop_front();
    return next;
}

const ZelModuleExport exports[] = {
    {"hookDevice", reinterpret_cast<void*>(&hookDevice)},
    {"refresh", reinterpret_cast<void*>(&refresh)},
    {"setVideoMode", reinterpret_cast<void*>(&setVideoMode)},
    {"setTextMode", reinterpret_cast<void*>(&setTextMode)},
    {"setPalette", reinterpret_cast<void*>(&setPalette)},
    {"winEvent", reinterpret_cast<void*>(&winEvent)},
    {"shake", reinterpret_cast<void*>(&shake)},
    {"lastError", reinterpret_cast<void*>(&lastError)},
    {nullptr, nullptr},
};

}  // namespace

bool addCanvasDriver()
{
    return AddBuiltinModule("canvas.drv", exports) != 0;
}

}  // namespace zelcanvas
