// Allegro 4 on 8-bit memory bitmaps: the peer of most workloads. Kept apart
// from the library's headers, whose names Allegro's would collide with.

#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <benchmark/benchmark.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "bench/common.h"

namespace zelbench {

namespace {

bool allegroStarted()
{
    static const bool started = [] {
        if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
            return false;
        set_color_depth(8);
        return true;
    }();
    return started;
}

BITMAP* bitmapOf(const std::vector<unsigned char>& bytes, int w, int h)
{
    BITMAP* b = create_bitmap(w, h);
    if (b)
        for (int y = 0; y < h; ++y)
            std::memcpy(b->line[y], bytes.data() + static_cast<size_t>(y) * w, static_cast<size_t>(w));
    return b;
}

// The bitmaps of one benchmark: the screen and the scene's pictures.
struct Canvas {
    const Scene& scene;
    BITMAP* screen = nullptr;
    BITMAP* sprite = nullptr;
    BITMAP* mask = nullptr;
    BITMAP* picture = nullptr;
    COLOR_MAP map;

    explicit Canvas(const Scene& s) : scene(s)
    {
        const int w = s.size.width, h = s.size.height;
        screen = create_bitmap(w, h);
        sprite = bitmapOf(s.sprite, SpriteSize, SpriteSize);
        mask = bitmapOf(s.mask, SpriteSize, SpriteSize);
        picture = bitmapOf(s.picture, w, h);
        std::memcpy(map.data, shadeMap256(), sizeof map.data);
        color_map = &map;
        if (screen)
            clear_to_color(screen, 1);
    }
    ~Canvas()
    {
        color_map = nullptr;
        for (BITMAP* b : {screen, sprite, mask, picture})
            if (b)
                destroy_bitmap(b);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return screen && sprite && mask && picture; }
};

using Body = std::function<long(benchmark::State&, Canvas&)>;

void add(const char* workload, const ScreenSize& size, Body body)
{
    benchmark::RegisterBenchmark(benchName("allegro", workload, size).c_str(), [=](benchmark::State& state) {
        if (!allegroStarted()) {
            state.SkipWithError("install_allegro(SYSTEM_NONE) failed");
            return;
        }
        Canvas canvas(sceneFor(size));
        if (!canvas.ok()) {
            state.SkipWithError("create_bitmap failed");
            return;
        }
        clear_to_color(canvas.screen, Background);
        const long pixels = body(state, canvas);
        drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
        const BITMAP* screen = canvas.screen;
        report(state, pixels, touchedBytes(screen->w, screen->h, [screen](int y) { return screen->line[y]; }));
    });
}

// Allegro angles: 256 units to the turn, in 16.16 fixed point.
fixed allegroAngle(int degrees)
{
    return ftofix(degrees * 256.0 / 360.0);
}

}  // namespace

void registerAllegro(const ScreenSize& size)
{
    add(W::clear, size, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            clear_to_color(c.screen, 7);
        return long{c.scene.size.width} * c.scene.size.height;
    });
    add(W::bar, size, [](benchmark::State& state, Canvas& c) {
        const Vec at = c.scene.barAt;
        for (auto _ : state)
            rectfill(c.screen, at.x, at.y, at.x + BarSize - 1, at.y + BarSize - 1, BarColour);
        return c.scene.barPixels;
    });
    add(W::lines, size, [](benchmark::State& state, Canvas& c) {
        const auto& lines = c.scene.lines;
        for (auto _ : state)
            for (size_t i = 0; i < lines.size(); ++i)
                line(c.screen, lines[i].a.x, lines[i].a.y, lines[i].b.x, lines[i].b.y, static_cast<int>(i & 255));
        return c.scene.linePixels;
    });
    add(W::spriteTransparent, size, [](benchmark::State& state, Canvas& c) {
        const Vec at = c.scene.spriteAt;
        for (auto _ : state)
            draw_sprite(c.screen, c.sprite, at.x, at.y);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::spriteOpaque, size, [](benchmark::State& state, Canvas& c) {
        const Vec at = c.scene.spriteAt;
        for (auto _ : state)
            blit(c.sprite, c.screen, 0, 0, at.x, at.y, SpriteSize, SpriteSize);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::screenOpaque, size, [](benchmark::State& state, Canvas& c) {
        const int w = c.scene.size.width, h = c.scene.size.height;
        for (auto _ : state)
            blit(c.picture, c.screen, 0, 0, 0, 0, w, h);
        return long{w} * h;
    });
    add(W::zoomUp, size, [](benchmark::State& state, Canvas& c) {
        const Vec at = c.scene.zoomAt;
        for (auto _ : state)
            stretch_sprite(c.screen, c.sprite, at.x, at.y, 2 * SpriteSize, 2 * SpriteSize);
        return long{2 * SpriteSize} * (2 * SpriteSize);
    });
    add(W::zoomDown, size, [](benchmark::State& state, Canvas& c) {
        const Vec at = c.scene.spriteAt;
        for (auto _ : state)
            stretch_sprite(c.screen, c.sprite, at.x, at.y, SpriteSize / 2, SpriteSize / 2);
        return long{SpriteSize / 2} * (SpriteSize / 2);
    });
    add(W::rotate, size, [](benchmark::State& state, Canvas& c) {
        // rotate_scaled_sprite turns about the sprite's centre, which lands
        // where the unturned sprite's centre would be.
        const Vec ctr = c.scene.centre;
        const fixed angle = allegroAngle(RotAngleDegrees), scale = ftofix(RotScale);
        for (auto _ : state)
            rotate_scaled_sprite(c.screen, c.sprite, ctr.x - SpriteSize / 2, ctr.y - SpriteSize / 2, angle, scale);
        return c.scene.rotatePixels;
    });
    add(W::hexagon, size, [](benchmark::State& state, Canvas& c) {
        int points[12];
        for (int k = 0; k < 6; ++k) {
            points[2 * k] = c.scene.hexagon[k].x;
            points[2 * k + 1] = c.scene.hexagon[k].y;
        }
        for (auto _ : state)
            polygon(c.screen, 6, points, PolyColour);
        return c.scene.hexagonPixels;
    });
    add(W::gouraud, size, [](benchmark::State& state, Canvas& c) {
        const int levels[3] = {GouraudTop, GouraudMiddle, GouraudBottom};
        V3D v[3];
        for (int k = 0; k < 3; ++k)
            v[k] = {itofix(c.scene.triangle[k].x), itofix(c.scene.triangle[k].y), 0, 0, 0, GouraudBase + levels[k]};
        for (auto _ : state)
            triangle3d(c.screen, POLYTYPE_GCOL, nullptr, &v[0], &v[1], &v[2]);
        return c.scene.trianglePixels;
    });
    add(W::shadedBar, size, [](benchmark::State& state, Canvas& c) {
        // A translucent rectangle reads every screen pixel through the colour
        // map, as the shaded bar does through the dark table.
        const int w = c.scene.size.width, h = c.scene.size.height;
        clear_to_color(c.screen, 100);
        drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
        for (auto _ : state)
            rectfill(c.screen, 0, 0, w - 1, h - 1, ShadeLevel);
        return long{w} * h;
    });
    add(W::shadedImage, size, [](benchmark::State& state, Canvas& c) {
        // The mask's bytes pick the colour map's row for the pixel beneath.
        const Vec at = c.scene.spriteAt;
        for (auto _ : state)
            draw_trans_sprite(c.screen, c.mask, at.x, at.y);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::shadeScale, size, [](benchmark::State& state, Canvas& c) {
        const Vec at = c.scene.spriteAt;
        for (auto _ : state)
            draw_lit_sprite(c.screen, c.sprite, at.x, at.y, ShadeLevel);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::text, size, [](benchmark::State& state, Canvas& c) {
        // Allegro's own 8 x 8 font: the pixels are its text box.
        const Vec at = c.scene.textAt;
        for (auto _ : state)
            textout_ex(c.screen, font, textLine, at.x, at.y, TextColour, -1);
        return long{text_length(font, textLine)} * text_height(font);
    });
}

}  // namespace zelbench
