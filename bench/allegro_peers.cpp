// Allegro 4 on 8-bit memory bitmaps: the peer of most workloads, with its
// fastest call for each picture beside the plain one (RLE sprites, the float
// polygon renderer). Compiled sprites are RLE sprites on x86-64, so the RLE
// benchmark stands for both. Kept apart from the library's headers, whose
// names Allegro's would collide with.

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

// The bitmaps of one benchmark: the screen and the scene's pictures, plain
// and run-length encoded.
struct Canvas {
    const Scene& scene;
    BITMAP* screen = nullptr;
    BITMAP* picture = nullptr;
    BITMAP* wall = nullptr;
    BITMAP* floor = nullptr;
    std::vector<BITMAP*> sprites, masks;
    std::vector<RLE_SPRITE*> rleSprites, rleMasks;
    COLOR_MAP map;

    explicit Canvas(const Scene& s) : scene(s)
    {
        const int w = s.size.width, h = s.size.height;
        screen = create_bitmap(w, h);
        picture = bitmapOf(s.picture, w, h);
        wall = bitmapOf(s.wall, TextureSize, TextureSize);
        floor = bitmapOf(s.floor, TextureSize, TextureSize);
        for (const Sprite& sp : s.sprites) {
            sprites.push_back(bitmapOf(sp.pixels, sp.w, sp.h));
            masks.push_back(bitmapOf(sp.mask, sp.w, sp.h));
            rleSprites.push_back(sprites.back() ? get_rle_sprite(sprites.back()) : nullptr);
            rleMasks.push_back(masks.back() ? get_rle_sprite(masks.back()) : nullptr);
        }
        std::memcpy(map.data, shadeMap256(), sizeof map.data);
        color_map = &map;
        if (screen)
            clear_to_color(screen, 1);
    }
    ~Canvas()
    {
        color_map = nullptr;
        for (RLE_SPRITE* r : rleSprites)
            if (r)
                destroy_rle_sprite(r);
        for (RLE_SPRITE* r : rleMasks)
            if (r)
                destroy_rle_sprite(r);
        for (BITMAP* b : sprites)
            if (b)
                destroy_bitmap(b);
        for (BITMAP* b : masks)
            if (b)
                destroy_bitmap(b);
        for (BITMAP* b : {screen, picture, wall, floor})
            if (b)
                destroy_bitmap(b);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const
    {
        for (const auto* set : {&rleSprites, &rleMasks})
            for (const RLE_SPRITE* r : *set)
                if (!r)
                    return false;
        return screen && picture && wall && floor;
    }
};

using Body = std::function<long(benchmark::State&, Canvas&)>;

// implementation is "allegro" or "allegro.<call>" for the faster variants.
void add(const char* implementation, const char* workload, const ScreenSize& size, long calls, Body body)
{
    benchmark::RegisterBenchmark(benchName(implementation, workload, size).c_str(), [=](benchmark::State& state) {
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
        report(state, pixels, calls, touchedBytes(screen->w, screen->h, [screen](int y) { return screen->line[y]; }));
    });
}

// Allegro angles: 256 units to the turn, in 16.16 fixed point.
fixed allegroAngle(int degrees)
{
    return ftofix(degrees * 256.0 / 360.0);
}

// A textured rectangle drawn with perspective: the depth runs from z0 at the
// first edge to z1 at the opposite one, along y (floors) or x (walls).
void perspectiveQuad(BITMAP* screen, BITMAP* texture, const Surface& f, bool depthAlongY)
{
    const float x0 = static_cast<float>(f.x0), x1 = static_cast<float>(f.x1);
    const float y0 = static_cast<float>(f.y0), y1 = static_cast<float>(f.y1);
    const float zf = static_cast<float>(f.farZ), zn = static_cast<float>(f.nearZ);
    const float span = 64.0f * zf;  // texels across the far edge
    // Corners clockwise from the top-left; a floor is far at the top, a wall
    // on the left.
    const float z[4] = {zf, depthAlongY ? zf : zn, zn, depthAlongY ? zn : zf};
    V3D_f v[4] = {{x0, y0, z[0], 0, 0, 0}, {x1, y0, z[1], span, 0, 0}, {x1, y1, z[2], span, span, 0},
                  {x0, y1, z[3], 0, span, 0}};
    V3D_f* p[4] = {&v[0], &v[1], &v[2], &v[3]};
    polygon3d_f(screen, POLYTYPE_PTEX, texture, 4, p);
}

}  // namespace

void registerAllegro(const ScreenSize& size)
{
    add("allegro", W::clear, size, 1, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            clear_to_color(c.screen, 7);
        return long{c.scene.size.width} * c.scene.size.height;
    });
    add("allegro", W::bar, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& b : c.scene.bars)
                rectfill(c.screen, b.at.x, b.at.y, b.at.x + b.w - 1, b.at.y + b.h - 1, b.shade + 30);
        return c.scene.barPixels;
    });
    add("allegro", W::lines, size, LineCount, [](benchmark::State& state, Canvas& c) {
        const auto& lines = c.scene.lines;
        for (auto _ : state)
            for (size_t i = 0; i < lines.size(); ++i)
                line(c.screen, lines[i].a.x, lines[i].a.y, lines[i].b.x, lines[i].b.y, static_cast<int>(i & 255));
        return c.scene.linePixels;
    });
    add("allegro", W::spriteTransparent, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& s : c.scene.sprites1to1)
                draw_sprite(c.screen, c.sprites[s.sprite], s.at.x, s.at.y);
        return c.scene.spritePixels;
    });
    add("allegro.rle", W::spriteTransparent, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& s : c.scene.sprites1to1)
                draw_rle_sprite(c.screen, c.rleSprites[s.sprite], s.at.x, s.at.y);
        return c.scene.spritePixels;
    });
    add("allegro", W::spriteOpaque, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& s : c.scene.sprites1to1)
                blit(c.sprites[s.sprite], c.screen, 0, 0, s.at.x, s.at.y, s.w, s.h);
        return c.scene.spritePixels;
    });
    add("allegro", W::screenOpaque, size, 1, [](benchmark::State& state, Canvas& c) {
        const int w = c.scene.size.width, h = c.scene.size.height;
        for (auto _ : state)
            blit(c.picture, c.screen, 0, 0, 0, 0, w, h);
        return long{w} * h;
    });
    add("allegro", W::zoomUp, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& s : c.scene.zoomUp)
                stretch_sprite(c.screen, c.sprites[s.sprite], s.at.x, s.at.y, s.w, s.h);
        return c.scene.zoomUpPixels;
    });
    add("allegro", W::zoomDown, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& s : c.scene.zoomDown)
                stretch_sprite(c.screen, c.sprites[s.sprite], s.at.x, s.at.y, s.w, s.h);
        return c.scene.zoomDownPixels;
    });
    add("allegro", W::rotate, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        // rotate_scaled_sprite turns about the sprite's centre, which lands
        // where the unturned sprite's centre would be.
        for (auto _ : state)
            for (const Call& s : c.scene.rotations) {
                const BITMAP* b = c.sprites[s.sprite];
                rotate_scaled_sprite(c.screen, c.sprites[s.sprite], s.at.x - b->w / 2, s.at.y - b->h / 2,
                                     allegroAngle(s.degrees), ftofix(s.scale));
            }
        return c.scene.rotatePixels;
    });
    add("allegro", W::polygon, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        std::vector<std::vector<int>> points;
        for (const auto& h : c.scene.hexagons) {
            points.emplace_back();
            for (const Vec& v : h)
                points.back().insert(points.back().end(), {v.x, v.y});
        }
        for (auto _ : state)
            for (const auto& p : points)
                polygon(c.screen, 6, p.data(), PolyColour);
        return c.scene.hexagonPixels;
    });
    add("allegro.polygon3d_f", W::polygon, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        std::vector<std::vector<V3D_f>> vertices;
        for (const auto& h : c.scene.hexagons) {
            vertices.emplace_back();
            for (const Vec& v : h)
                vertices.back().push_back({static_cast<float>(v.x), static_cast<float>(v.y), 0, 0, 0, PolyColour});
        }
        for (auto _ : state)
            for (auto& h : vertices) {
                V3D_f* p[6] = {&h[0], &h[1], &h[2], &h[3], &h[4], &h[5]};
                polygon3d_f(c.screen, POLYTYPE_FLAT, nullptr, 6, p);
            }
        return c.scene.hexagonPixels;
    });
    add("allegro", W::gouraud, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Triangle& t : c.scene.triangles) {
                V3D v[3];
                for (int k = 0; k < 3; ++k)
                    v[k] = {itofix(t.v[k].x), itofix(t.v[k].y), 0, 0, 0, GouraudBase + t.level[k]};
                triangle3d(c.screen, POLYTYPE_GCOL, nullptr, &v[0], &v[1], &v[2]);
            }
        return c.scene.trianglePixels;
    });
    add("allegro.triangle3d_f", W::gouraud, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Triangle& t : c.scene.triangles) {
                V3D_f v[3];
                for (int k = 0; k < 3; ++k)
                    v[k] = {static_cast<float>(t.v[k].x), static_cast<float>(t.v[k].y), 0, 0, 0,
                            GouraudBase + t.level[k]};
                triangle3d_f(c.screen, POLYTYPE_GCOL, nullptr, &v[0], &v[1], &v[2]);
            }
        return c.scene.trianglePixels;
    });
    add("allegro", W::shadedBar, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        // A translucent rectangle reads every screen pixel through the colour
        // map, as the shaded bar does through the dark table.
        clear_to_color(c.screen, 100);
        drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
        for (auto _ : state)
            for (const Call& b : c.scene.bars)
                rectfill(c.screen, b.at.x, b.at.y, b.at.x + b.w - 1, b.at.y + b.h - 1, b.shade);
        return c.scene.barPixels;
    });
    add("allegro", W::shadedImage, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        // The mask's bytes pick the colour map's row for the pixel beneath.
        for (auto _ : state)
            for (const Call& s : c.scene.sprites1to1)
                draw_trans_sprite(c.screen, c.masks[s.sprite], s.at.x, s.at.y);
        return c.scene.spritePixels;
    });
    add("allegro.rle", W::shadedImage, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& s : c.scene.sprites1to1)
                draw_trans_rle_sprite(c.screen, c.rleMasks[s.sprite], s.at.x, s.at.y);
        return c.scene.spritePixels;
    });
    add("allegro", W::shadeScale, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& s : c.scene.sprites1to1)
                draw_lit_sprite(c.screen, c.sprites[s.sprite], s.at.x, s.at.y, s.shade);
        return c.scene.spritePixels;
    });
    add("allegro.rle", W::shadeScale, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Call& s : c.scene.sprites1to1)
                draw_lit_rle_sprite(c.screen, c.rleSprites[s.sprite], s.at.x, s.at.y, s.shade);
        return c.scene.spritePixels;
    });
    add("allegro", W::text, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        // Allegro's own 8 x 8 font: the pixels are its text box.
        for (auto _ : state)
            for (const Call& t : c.scene.texts)
                textout_ex(c.screen, font, textLine, t.at.x, t.at.y, TextColour, -1);
        return long{CallsPerBatch} * text_length(font, textLine) * text_height(font);
    });
    add("allegro", W::sideFill, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Surface& f : c.scene.walls)
                perspectiveQuad(c.screen, c.wall, f, false);
        return c.scene.wallPixels;
    });
    add("allegro", W::floorFill, size, CallsPerBatch, [](benchmark::State& state, Canvas& c) {
        for (auto _ : state)
            for (const Surface& f : c.scene.floors)
                perspectiveQuad(c.screen, c.floor, f, true);
        return c.scene.floorPixels;
    });
}

}  // namespace zelbench
