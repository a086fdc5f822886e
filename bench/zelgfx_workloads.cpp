// The library's workloads on the headless driver's Screen. Video is started
// at the size a benchmark asks for and kept until a benchmark asks for
// another one, so the benchmarks of one size share one start-up. Every
// iteration draws one batch of the scene's seeded calls.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "bench/common.h"
#include "zelgfx.h"

namespace zelbench {

namespace {

// The Screen at one size and the scene's pictures as library bitmaps.
struct Session {
    ScreenSize size{0, 0};
    const Scene* scene = nullptr;
    std::vector<HClass<Bitmap>> sprites;     // origin at the top-left corner
    std::vector<HClass<Bitmap>> spritesRot;  // the same pixels, origin at the centre
    std::vector<HClass<Bitmap>> masks;
    HClass<Bitmap> picture;
    HClass<Bitmap> wall;
    HClass<Bitmap> floor;

    void release()
    {
        for (auto* set : {&sprites, &spritesRot, &masks}) {
            for (HClass<Bitmap>& b : *set)
                if (b.isValid())
                    b.release();
            set->clear();
        }
        for (HClass<Bitmap>* b : {&picture, &wall, &floor})
            if (b->isValid())
                b->release();
    }
    bool resolves() const
    {
        for (const auto* set : {&sprites, &spritesRot, &masks})
            for (const HClass<Bitmap>& b : *set)
                if (!b.resolves())
                    return false;
        return picture.resolves() && wall.resolves() && floor.resolves();
    }
};

Session session;

HClass<Bitmap> bitmapOf(const std::vector<unsigned char>& bytes, int w, int h, int originX, int originY)
{
    HClass<Bitmap> b = ZelBitmap::Create(w, h, {});
    if (Bitmap* p = b.get()) {
        p->originX = originX;
        p->originY = originY;
        std::memcpy(p->pixels(), bytes.data(), bytes.size());
    }
    return b;
}

Session* useScreen(const ScreenSize& size)
{
    if (ZelVideo::graphOn && session.size.width == size.width && session.size.height == size.height)
        return &session;
    session.release();
    ZelVideo::deinit();
    session.size = {0, 0};
    const std::string w = std::to_string(size.width), h = std::to_string(size.height);
    ZelSystem::SetRegistryString("headless_width", w.c_str());
    ZelSystem::SetRegistryString("headless_height", h.c_str());
    ZelSystem::SetRegistryString("headless_dir", "");
    if (!ZelVideo::init("headless", nullptr, nullptr) || scrWidth != size.width || scrHeight != size.height) {
        ZelVideo::deinit();
        return nullptr;
    }
    const Scene& s = sceneFor(size);
    session.scene = &s;
    for (const Sprite& sp : s.sprites) {
        session.sprites.push_back(bitmapOf(sp.pixels, sp.w, sp.h, 0, 0));
        session.spritesRot.push_back(bitmapOf(sp.pixels, sp.w, sp.h, sp.w / 2, sp.h / 2));
        session.masks.push_back(bitmapOf(sp.mask, sp.w, sp.h, 0, 0));
    }
    session.picture = bitmapOf(s.picture, size.width, size.height, 0, 0);
    session.wall = bitmapOf(s.wall, TextureSize, TextureSize, 0, 0);
    session.floor = bitmapOf(s.floor, TextureSize, TextureSize, 0, 0);
    if (!session.resolves())
        return nullptr;
    if (ZelVideo::shadeDark)
        setShadeMap256(ZelVideo::shadeDark);
    clrScreen(1);
    session.size = size;
    return &session;
}

using Body = std::function<long(benchmark::State&, Session&)>;

// body returns the pixels of one iteration; calls is the number of calls in it.
void add(const char* workload, Kind kind, const ScreenSize& size, long calls, Body body)
{
    benchmark::RegisterBenchmark(benchName("zelgfx", workload, size).c_str(), [=](benchmark::State& state) {
        Session* s = useScreen(size);
        if (!s) {
            state.SkipWithError("video did not start on the headless driver");
            return;
        }
        clrScreen(Background);
        const long pixels = body(state, *s);
        const auto rowOf = [](int y) { return videoMemory + ZelVideo::lineOff[y]; };
        report(state, pixels, calls, touchedBytes(scrWidth, scrHeight, rowOf));
        state.SetLabel(kindName(kind));
    });
}

// A Gouraud triangle through the span buffers: the right chain top ->
// middle -> bottom on side 1, the left edge top -> bottom on side 0, rows
// relative to the top vertex.
void traceTriangle(const Triangle& tri)
{
    const Vec t = tri.v[0], m = tri.v[1], b = tri.v[2];
    const int it = tri.level[0] << 16, im = tri.level[1] << 16, ib = tri.level[2] << 16;
    polyStartIndex = 0;
    polyStopIndex = b.y - t.y;
    scanSideGouraud(t.x, 0, it, m.x, m.y - t.y, im, 1);
    scanSideGouraud(m.x, m.y - t.y, im, b.x, b.y - t.y, ib, 1);
    scanSideGouraud(t.x, 0, it, b.x, b.y - t.y, ib, 0);
    polyMinY = t.y;
    polyHeight = b.y - t.y;
}

// Span buffer entries 0 .. n - 1 span [from, to).
void uniformSpans(int n, int from, int to)
{
    Point* spans = polyBuffer.get();
    for (int e = 0; e < n; ++e)
        spans[e] = {{from, to}};
}

unsigned angleOf(int degrees)
{
    return static_cast<unsigned>((degrees % 360 + 360) % 360) * ZelAngleFullTurn / 360;
}

}  // namespace

void registerZelgfx(const ScreenSize& size)
{
    add(W::clear, Kind::Fill, size, 1, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            clrScreen(7);
        return long{s.size.width} * s.size.height;
    });
    add(W::bar, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            for (const Call& c : s.scene->bars)
                putBar(c.at.x, c.at.y, c.w, c.h, static_cast<unsigned char>(c.shade + 30));
        return s.scene->barPixels;
    });
    add(W::lines, Kind::Other, size, LineCount, [](benchmark::State& state, Session& s) {
        const auto& lines = s.scene->lines;
        for (auto _ : state)
            for (size_t i = 0; i < lines.size(); ++i)
                putLine(lines[i].a.x, lines[i].a.y, lines[i].b.x, lines[i].b.y, static_cast<unsigned char>(i));
        return s.scene->linePixels;
    });
    add(W::spriteTransparent, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            for (const Call& c : s.scene->sprites1to1)
                putImage(c.at.x, c.at.y, s.sprites[c.sprite], 0);
        return s.scene->spritePixels;
    });
    add(W::spriteOpaque, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            for (const Call& c : s.scene->sprites1to1)
                putImage(c.at.x, c.at.y, s.sprites[c.sprite], 2);
        return s.scene->spritePixels;
    });
    add(W::screenOpaque, Kind::Copy, size, 1, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            putImage(0, 0, s.picture, 2);
        return long{s.size.width} * s.size.height;
    });
    add(W::zoomUp, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            for (const Call& c : s.scene->zoomUp)
                bmpZoomImage(c.at.x, c.at.y, s.sprites[c.sprite], 32768);
        return s.scene->zoomUpPixels;
    });
    add(W::zoomDown, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            for (const Call& c : s.scene->zoomDown)
                bmpZoomImage(c.at.x, c.at.y, s.sprites[c.sprite], 131072);
        return s.scene->zoomDownPixels;
    });
    add(W::rotate, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            for (const Call& c : s.scene->rotations)
                bmpRotImage(c.at.x, c.at.y, s.spritesRot[c.sprite], angleOf(c.degrees),
                            static_cast<int>(std::lround(65536 / c.scale)));
        return s.scene->rotatePixels;
    });
    add(W::polygon, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        std::vector<PolyOf<6>> hexagons(s.scene->hexagons.size());
        for (size_t i = 0; i < hexagons.size(); ++i)
            for (int k = 0; k < 6; ++k)
                hexagons[i].vertex[k] = {s.scene->hexagons[i][k].x, s.scene->hexagons[i][k].y};
        defaultColor = PolyColour;
        for (auto _ : state)
            for (PolyOf<6>& h : hexagons)
                putPolyClockwise(h.poly());
        return s.scene->hexagonPixels;
    });
    add(W::gouraud, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        defaultColor = GouraudBase;
        for (auto _ : state)
            for (const Triangle& t : s.scene->triangles) {
                traceTriangle(t);
                fillPolyGouraud();
            }
        return s.scene->trianglePixels;
    });
    add(W::shadedBar, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        clrScreen(100);
        for (auto _ : state)
            for (const Call& c : s.scene->bars)
                ZelVideo::putShadedBar(c.at.x, c.at.y, c.w, c.h, c.shade);
        return s.scene->barPixels;
    });
    add(W::shadedImage, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            for (const Call& c : s.scene->sprites1to1)
                ZelVideo::putShadedImage(c.at.x, c.at.y, s.masks[c.sprite]);
        return s.scene->spritePixels;
    });
    add(W::shadeScale, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            for (const Call& c : s.scene->sprites1to1)
                ZelVideo::bmpZoomImageShadeScale(c.at.x, c.at.y, s.sprites[c.sprite], 16, c.shade);
        return s.scene->spritePixels;
    });
    add(W::text, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            for (const Call& c : s.scene->texts)
                ZelFont::put(c.at.x, c.at.y, textLine, TextColour);
        return long{CallsPerBatch} * ZelFont::getWidth(textLine) * ZelFont::getHeight(textLine);
    });
    add(W::sideFill, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        // Each wall fills the columns x0 .. x1 - 1 from y0 to y1, seen from
        // its top row, turned off square so that every column has its own
        // depth; the depth sets the texture's scale.
        for (auto _ : state)
            for (const Surface& f : s.scene->walls) {
                int view[3] = {0, 0, static_cast<int>(128 * f.farZ)};
                uniformSpans(f.x1 - f.x0, f.y0, f.y1);
                polyMinY = f.x0;
                polyStartIndex = 0;
                polyStopIndex = f.x1 - f.x0 - 1;
                bmpSideFill((f.x0 + f.x1) / 2, f.y0, view, s.wall, ZelAngleQuarterTurn + f.angle * 100, 1u << 30);
            }
        return s.scene->wallPixels;
    });
    add(W::floorFill, Kind::Other, size, CallsPerBatch, [](benchmark::State& state, Session& s) {
        // Each floor fills the rows y0 .. y1 - 1 from x0 to x1 - 1, seen from
        // the row above it, turned by its angle.
        for (auto _ : state)
            for (const Surface& f : s.scene->floors) {
                int view[3] = {0, static_cast<int>(64 * f.farZ), 0};
                uniformSpans(f.y1 - f.y0, f.x0, f.x1 - 1);
                polyMinY = f.y0;
                polyStartIndex = 0;
                polyStopIndex = f.y1 - f.y0 - 1;
                bmpFloorFill((f.x0 + f.x1) / 2, f.y0 - 1, view, s.floor, angleOf(f.angle));
            }
        return s.scene->floorPixels;
    });
}

void shutdownZelgfx()
{
    session.release();
    ZelVideo::deinit();
}

}  // namespace zelbench
