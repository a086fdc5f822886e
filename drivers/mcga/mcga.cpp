// The default driver: the screen in a real desktop window through SDL2,
// 320 x 200 like the classic mode, scaled by a whole factor.
//
// Configuration (ZelSystem::GetRegistryString keys, e.g. the environment
// variables ZEL_mcga_scale): mcga_width (320), mcga_height (200), mcga_scale
// (2; ZelVideo::Settings.scale wins when non-zero). Settings.fullScreen asks
// for the whole display. winEvent pumps the window's events and answers 1
// when the user closed the window, 2 when Escape was pressed, else 0.
//
// Without a display setVideoMode fails, and lastError says so and how to
// choose the headless driver, rather than drawing into one of SDL's
// off-screen targets where nobody sees it; those are used only when chosen
// explicitly in SDL_VIDEODRIVER.

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "drivers/driver_api.h"
#include "drivers/driver_common.h"
#include "video/video.h"

namespace {

// SDL's video drivers that show nothing on any screen.
bool showsNothing(const char* videoDriver)
{
    return videoDriver && (std::strcmp(videoDriver, "offscreen") == 0 || std::strcmp(videoDriver, "dummy") == 0);
}

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

struct Mcga {
    int width = 320;
    int height = 200;
    int scale = 2;
    unsigned char** screen = nullptr;
    zeldrv::Palette6 palette;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int shakeFrames = 0;
    bool videoUp = false;  // SDL's video subsystem initialised by open()
    char error[400] = "";

    ~Mcga() { close(); }

    bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        std::vsnprintf(error, sizeof error, format, args);
        va_end(args);
        return false;
    }

    // sdlError: why SDL itself refused, or null.
    bool noDisplay(const char* sdlError)
    {
        char where[160] = "DISPLAY is not set";
        if (isSet("DISPLAY"))
            std::snprintf(where, sizeof where, "DISPLAY=%s cannot be opened", std::getenv("DISPLAY"));
        return fail("mcga.drv: no display to open a window on (%s%s%s). Without a display, choose the "
                    "headless driver: ZEL_graphics=headless.drv, or --driver headless for zeldemo.",
                    where, sdlError ? "; SDL: " : "", sdlError ? sdlError : "");
    }

    void close()
    {
        if (texture)
            SDL_DestroyTexture(texture);
        if (renderer)
            SDL_DestroyRenderer(renderer);
        if (window)
            SDL_DestroyWindow(window);
        if (videoUp) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            // With nothing else of SDL in use, let it free all it holds.
            if (SDL_WasInit(0) == 0)
                SDL_Quit();
        }
        texture = nullptr;
        renderer = nullptr;
        window = nullptr;
        videoUp = false;
    }

    bool open(const VideoSettings* settings)
    {
        close();
        scale = settings && settings->scale ? settings->scale
                                             : static_cast<int>(zeldrv::configNumber("mcga_scale", 2));
        scale = std::clamp(scale, 1, 16);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return noDisplay(SDL_GetError());
        videoUp = true;
        // SDL falls back to a target nobody sees when no display answers;
        // that is only wanted when chosen by name.
        if (!isSet("SDL_VIDEODRIVER") && showsNothing(SDL_GetCurrentVideoDriver())) {
            close();
            return noDisplay(nullptr);
        }
        const Uint32 flags = settings && settings->fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
        window = SDL_CreateWindow("zelgfx", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * scale,
                                  height * scale, flags);
        if (window)
            renderer = SDL_CreateRenderer(window, -1, 0);
        if (renderer) {
            SDL_RenderSetLogicalSize(renderer, width * scale, height * scale);
            texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
        }
        if (!texture) {
            fail("mcga.drv: cannot open a window: %s", SDL_GetError());
            close();
            return false;
        }
        return true;
    }

    // The screen buffer through the palette into the texture, then onto the
    // window, displaced while a shake lasts.
    void draw()
    {
        uint32_t argb[256];
        for (int i = 0; i < 256; ++i)
            argb[i] = 0xff000000u | uint32_t(zeldrv::expand6to8(palette.rgb[3 * i])) << 16 |
                      uint32_t(zeldrv::expand6to8(palette.rgb[3 * i + 1])) << 8 |
                      zeldrv::expand6to8(palette.rgb[3 * i + 2]);
        void* target;
        int pitch;
        if (SDL_LockTexture(texture, nullptr, &target, &pitch) != 0)
            return;
        const unsigned char* src = *screen;
        for (int y = 0; y < height; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<char*>(target) + static_cast<ptrdiff_t>(y) * pitch);
            for (int x = 0; x < width; ++x)
                row[x] = argb[src[static_cast<size_t>(y) * width + x]];
        }
        SDL_UnlockTexture(texture);

        SDL_Rect place{0, 0, width * scale, height * scale};
        if (shakeFrames > 0) {
            const int reach = std::min(shakeFrames, 4) * scale;
            place.x = shakeFrames % 2 ? reach : -reach;
            place.y = shakeFrames % 3 ? -reach / 2 : reach / 2;
            --shakeFrames;
        }
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, &place);
    }
} state;

}  // namespace

ZEL_DRIVER_EXPORT signed char hookDevice(ZelDeviceRect* rect, unsigned char** videoMemory)
{
    state.width = std::clamp(static_cast<int>(zeldrv::configNumber("mcga_width", 320)), 1, 4096);
    state.height = std::clamp(static_cast<int>(zeldrv::configNumber("mcga_height", 200)), 1, 4096);
    rect->right = state.width;
    rect->bottom = state.height;
    state.screen = videoMemory;
    return -1;
}

ZEL_DRIVER_EXPORT signed char setVideoMode(uintptr_t settings)
{
    state.error[0] = '\0';
    return state.open(reinterpret_cast<const VideoSettings*>(settings)) ? -1 : 0;
}

ZEL_DRIVER_EXPORT const char* lastError()
{
    return state.error[0] ? state.error : nullptr;
}

ZEL_DRIVER_EXPORT signed char setTextMode(uintptr_t)
{
    state.close();
    return -1;
}

ZEL_DRIVER_EXPORT void setPalette(unsigned short first, unsigned short count, unsigned char* rgb)
{
    state.palette.load(first, count, rgb);
}

ZEL_DRIVER_EXPORT void refresh()
{
    if (!state.texture || !state.screen || !*state.screen)
        return;
    state.draw();
    SDL_RenderPresent(state.renderer);
    SDL_PumpEvents();
}

ZEL_DRIVER_EXPORT void shake(int frames)
{
    state.shakeFrames = std::max(frames, 0);
}

ZEL_DRIVER_EXPORT signed char winEvent(unsigned int, unsigned int, unsigned short, unsigned int)
{
    if (!state.window)
        return 0;
    signed char result = 0;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT ||
            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE))
            result = 1;
        else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE && result == 0)
            result = 2;
    }
    return result;
}
