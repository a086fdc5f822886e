// SDL2 on 8-bit indexed surfaces sharing one palette, so that blits between
// them copy the bytes unchanged: fills and the three blit forms.

#include <SDL.h>

#include <benchmark/benchmark.h>

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
    SDL_Surface* sprite = nullptr;  // colour 0 keyed out
    SDL_Surface* opaque = nullptr;  // the same sprite without a key
    SDL_Surface* picture = nullptr;

    explicit Canvas(const Scene& s) : scene(s)
    {
        screen = surfaceOf(s.size.width, s.size.height, nullptr);
        sprite = surfaceOf(SpriteSize, SpriteSize, &s.sprite);
        opaque = surfaceOf(SpriteSize, SpriteSize, &s.sprite);
        picture = surfaceOf(s.size.width, s.size.height, &s.picture);
        if (sprite)
            SDL_SetColorKey(sprite, SDL_TRUE, 0);
    }
    ~Canvas()
    {
        for (SDL_Surface* s : {screen, sprite, opaque, picture})
            SDL_FreeSurface(s);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return screen && sprite && opaque && picture; }
};

using Body = std::function<long(benchmark::State&, Canvas&)>;

void add(const char* workload, const ScreenSize& size, Body body)
{
    benchmark::RegisterBenchmark(benchName("sdl", workload, size).c_str(), [=](benchmark::State& state) {
        Canvas canvas(sceneFor(size));
        if (!canvas.ok()) {
            state.SkipWithError(SDL_GetError());
            return;
        }
        SDL_FillRect(canvas.screen, nullptr, Background);
        const long pixels = body(state, canvas);
        const SDL_Surface* screen = canvas.screen;
        report(state, pixels, touchedBytes(screen->w, screen->h, [screen](int y) {
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

// The colour-keyed sprite scaled to side x side. SDL_BlitScaled refuses
// 8-bit surfaces (SDL 2.26: "Blit combination not supported"); then the
// nearest SDL comes is SDL_SoftStretch, which scales opaque: less work than
// the transparent zoom, so the label marks it as no exact equivalent.
void scaled(benchmark::State& state, Canvas& c, Vec at, int side)
{
    if (blit(c.sprite, c.screen, at, side, side, true) == 0) {
        for (auto _ : state)
            blit(c.sprite, c.screen, at, side, side, true);
        return;
    }
    SDL_Rect r{at.x, at.y, side, side};
    if (refused(state, SDL_SoftStretch(c.opaque, nullptr, c.screen, &r)))
        return;
    for (auto _ : state) {
        SDL_Rect to{at.x, at.y, side, side};
        SDL_SoftStretch(c.opaque, nullptr, c.screen, &to);
    }
    state.SetLabel("inexact: SDL_SoftStretch, opaque (SDL_BlitScaled refuses 8-bit surfaces)");
}

}  // namespace

void registerSdl(const ScreenSize& size)
{
    add(W::clear, size, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            SDL_FillRect(c.screen, nullptr, 7);
        return long{c.scene.size.width} * c.scene.size.height;
    });
    add(W::bar, size, [](benchmark::State& state, Canvas& c) {
        const Vec at = c.scene.barAt;
        for (auto _ : state) {
            SDL_Rect r{at.x, at.y, BarSize, BarSize};
            SDL_FillRect(c.screen, &r, BarColour);
        }
        return c.scene.barPixels;
    });
    add(W::spriteTransparent, size, [](benchmark::State& state, Canvas& c) {
        if (refused(state, blit(c.sprite, c.screen, c.scene.spriteAt, SpriteSize, SpriteSize, false)))
            return 0L;
        for (auto _ : state)
            blit(c.sprite, c.screen, c.scene.spriteAt, SpriteSize, SpriteSize, false);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::spriteOpaque, size, [](benchmark::State& state, Canvas& c) {
        if (refused(state, blit(c.opaque, c.screen, c.scene.spriteAt, SpriteSize, SpriteSize, false)))
            return 0L;
        for (auto _ : state)
            blit(c.opaque, c.screen, c.scene.spriteAt, SpriteSize, SpriteSize, false);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::screenOpaque, size, [](benchmark::State& state, Canvas& c) {
        const int w = c.scene.size.width, h = c.scene.size.height;
        if (refused(state, blit(c.picture, c.screen, {0, 0}, w, h, false)))
            return 0L;
        for (auto _ : state)
            blit(c.picture, c.screen, {0, 0}, w, h, false);
        return long{w} * h;
    });
    add(W::zoomUp, size, [](benchmark::State& state, Canvas& c) {
        scaled(state, c, c.scene.zoomAt, 2 * SpriteSize);
        return long{2 * SpriteSize} * (2 * SpriteSize);
    });
    add(W::zoomDown, size, [](benchmark::State& state, Canvas& c) {
        scaled(state, c, c.scene.spriteAt, SpriteSize / 2);
        return long{SpriteSize / 2} * (SpriteSize / 2);
    });
}

}  // namespace zelbench
