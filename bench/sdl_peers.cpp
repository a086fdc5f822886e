// SDL2 on 8-bit indexed surfaces sharing one palette, so that blits between
// them copy the bytes unchanged: fills and the blit forms, the colour-keyed
// one also run-length encoded (SDL_SetSurfaceRLE), SDL's fastest keyed blit.

#include <SDL.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <vector>

#include "bench/common.h"

namespace zelbench {

namespace {

// The palette every surface shares: the same palette on both ends makes an
// 8-bit blit an identity copy.
SDL_Palette* sharedPalette()
{
    static SDL_Palette* palette = [] {
        SDL_Palette* p = SDL_AllocPalette(256);
        if (p) {
            SDL_Color colours[256];
            for (int i = 0; i < 256; ++i)
                colours[i] = {static_cast<Uint8>(i), static_cast<Uint8>(255 - i), static_cast<Uint8>(i * 7), 255};
            SDL_SetPaletteColors(p, colours, 0, 256);
        }
        return p;
    }();
    return palette;
}

SDL_Surface* surfaceOf(int w, int h, const std::vector<unsigned char>* bytes)
{
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 8, SDL_PIXELFORMAT_INDEX8);
    if (!s)
        return nullptr;
    SDL_SetSurfacePalette(s, sharedPalette());
    auto* pixels = static_cast<unsigned char*>(s->pixels);
    for (int y = 0; y < h; ++y)
        if (bytes)
            std::memcpy(pixels + static_cast<size_t>(y) * s->pitch, bytes->data() + static_cast<size_t>(y) * w,
                        static_cast<size_t>(w));
        else
            std::memset(pixels + static_cast<size_t>(y) * s->pitch, 1, static_cast<size_t>(w));
    return s;
}

struct Canvas {
    const Scene& scene;
    SDL_Surface* screen = nullptr;
    SDL_Surface* picture = nullptr;
    std::vector<SDL_Surface*> sprites;  // colour 0 keyed out
    std::vector<SDL_Surface*> rle;      // the same, keyed and run-length encoded
    std::vector<SDL_Surface*> opaque;   // the same sprites without a key

    explicit Canvas(const Scene& s) : scene(s)
    {
        screen = surfaceOf(s.size.width, s.size.height, nullptr);
        picture = surfaceOf(s.size.width, s.size.height, &s.picture);
        for (const Sprite& sp : s.sprites) {
            sprites.push_back(surfaceOf(sp.w, sp.h, &sp.pixels));
            rle.push_back(surfaceOf(sp.w, sp.h, &sp.pixels));
            opaque.push_back(surfaceOf(sp.w, sp.h, &sp.pixels));
            if (sprites.back())
                SDL_SetColorKey(sprites.back(), SDL_TRUE, 0);
            if (rle.back()) {
                SDL_SetColorKey(rle.back(), SDL_TRUE, 0);
                SDL_SetSurfaceRLE(rle.back(), 1);
            }
        }
    }
    ~Canvas()
    {
        for (const auto* set : {&sprites, &rle, &opaque})
            for (SDL_Surface* s : *set)
                SDL_FreeSurface(s);
        SDL_FreeSurface(screen);
        SDL_FreeSurface(picture);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const
    {
        for (const auto* set : {&sprites, &rle, &opaque})
            for (const SDL_Surface* s : *set)
                if (!s)
                    return false;
        return screen && picture;
    }
};

using Body = std::function<long(benchmark::State&, Canvas&)>;

// implementation is "sdl" or "sdl.<call>" for the faster variants.
void add(const char* implementation, const char* workload, const ScreenSize& size, long calls, Body body)
{
    benchmark::RegisterBenchmark(benchName(implementation, workload, size).c_str(), [=](benchmark::State& state) {
        Canvas canvas(sceneFor(size));
        if (!canvas.ok()) {
            state.SkipWithError(SDL_GetError());
            return;
        }
        SDL_FillRect(canvas.screen, nullptr, Background);
        const long pixels = body(state, canvas);
        const SDL_Surface* screen = canvas.screen;
        report(state, pixels, calls, touchedBytes(screen->w, screen->h, [screen](int y) {
                   return static_cast<const unsigned char*>(screen->pixels) + static_cast<ptrdiff_t>(y) * screen->pitch;
               }));
    });
}

// SDL clips the destination rectangle in place: every call gets a fresh one.
int blit(SDL_Surface* from, SDL_Surface* to, Vec at, int w, int h, bool scaled)
{
    SDL_Rect r{at.x, at.y, w, h};
    return scaled ? SDL_BlitScaled(from, nullptr, to, &r) : SDL_BlitSurface(from, nullptr, to, &r);
}

// A call that SDL refuses would be timed doing nothing: try it once first.
bool refused(benchmark::State& state, int rc)
{
    if (rc == 0)
        return false;
    state.SkipWithError(SDL_GetError());
    return true;
}

// Every call of a sequence through one of the sprite sets, tried once first.
long blits(benchmark::State& state, Canvas& c, const std::vector<SDL_Surface*>& set, const std::vector<Call>& calls,
           long pixels)
{
    const Call& first = calls.front();
    if (refused(state, blit(set[first.sprite], c.screen, first.at, first.w, first.h, false)))
        return 0;
    for (auto _ : state)
        for (const Call& s : calls)
            blit(set[s.sprite], c.screen, s.at, s.w, s.h, false);
    return pixels;
}

// The colour-keyed sprites scaled. SDL_BlitScaled refuses 8-bit surfaces
// (SDL 2.26: "Blit combination not supported"); then the nearest SDL comes
// is SDL_SoftStretch, which scales opaque: less work than the transparent
// zoom, so the label marks it as no exact equivalent.
long scaled(benchmark::State& state, Canvas& c, const std::vector<Call>& calls, long pixels)
{
    const Call& first = calls.front();
    if (blit(c.sprites[first.sprite], c.screen, first.at, first.w, first.h, true) == 0) {
        for (auto _ : state)
            for (const Call& s : calls)
                blit(c.sprites[s.sprite], c.screen, s.at, s.w, s.h, true);
        return pixels;
    }
    // SDL_SoftStretch does not clip: the calls are kept to the screen.
    const int w = c.scene.size.width, h = c.scene.size.height;
    auto inside = [w, h](SDL_Rect r) {
        r.x = std::max(0, std::min(r.x, w - r.w));
        r.y = std::max(0, std::min(r.y, h - r.h));
        return r;
    };
    const SDL_Rect once = inside({first.at.x, first.at.y, first.w, first.h});
    if (refused(state, SDL_SoftStretch(c.opaque[first.sprite], nullptr, c.screen, &once)))
        return 0;
    for (auto _ : state)
        for (const Call& s : calls) {
            SDL_Rect to = inside({s.at.x, s.at.y, s.w, s.h});
            SDL_SoftStretch(c.opaque[s.sprite], nullptr, c.screen, &to);
        }
    state.SetLabel("inexact: SDL_SoftStretch, opaque (SDL_BlitScaled refuses 8-bit surfaces)");
    return pixels;
}

}  // namespace

void registerSdl(const ScreenSize& size)
{
    add("sdl", W::clear, size, 1, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            SDL_FillRect(c.screen, nullptr, 7);
        return long{c.scene.size.width} * c.scene.size.height;
    });
    add("sdl", W::bar, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& b : c.scene.bars) {
                SDL_Rect r{b.at.x, b.at.y, b.w, b.h};
                SDL_FillRect(c.screen, &r, static_cast<Uint32>(b.shade + 30));
            }
        return c.scene.barPixels;
    });
    add("sdl", W::spriteTransparent, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        return blits(state, c, c.sprites, c.scene.sprites1to1, c.scene.spritePixels);
    });
    add("sdl.rle", W::spriteTransparent, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        return blits(state, c, c.rle, c.scene.sprites1to1, c.scene.spritePixels);
    });
    add("sdl", W::spriteOpaque, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        return blits(state, c, c.opaque, c.scene.sprites1to1, c.scene.spritePixels);
    });
    add("sdl", W::screenOpaque, size, 1, [](benchmark::State& state, Canvas& c) {
        const int w = c.scene.size.width, h = c.scene.size.height;
        if (refused(state, blit(c.picture, c.screen, {0, 0}, w, h, false)))
            return 0L;
        for (auto _ : state)
            blit(c.picture, c.screen, {0, 0}, w, h, false);
        return long{w} * h;
    });
    add("sdl", W::zoomUp, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        return scaled(state, c, c.scene.zoomUp, c.scene.zoomUpPixels);
    });
    add("sdl", W::zoomDown, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        return scaled(state, c, c.scene.zoomDown, c.scene.zoomDownPixels);
    });
}

}  // namespace zelbench
