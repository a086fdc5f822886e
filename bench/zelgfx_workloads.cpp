// The library's workloads on the headless driver's Screen. Video is started
// at the size a benchmark asks for and kept until a benchmark asks for
// another one, so the benchmarks of one size share one start-up.

#include <benchmark/benchmark.h>

#include <algorithm>
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
    HClass<Bitmap> sprite;       // origin at the top-left corner
    HClass<Bitmap> spriteRot;    // the same pixels, origin at the centre
    HClass<Bitmap> mask;
    HClass<Bitmap> picture;
    HClass<Bitmap> wall;
    HClass<Bitmap> floor;

    void release()
    {
        for (HClass<Bitmap>* b : {&sprite, &spriteRot, &mask, &picture, &wall, &floor})
            if (b->isValid())
                b->release();
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
    session.sprite = bitmapOf(s.sprite, SpriteSize, SpriteSize, 0, 0);
    session.spriteRot = bitmapOf(s.sprite, SpriteSize, SpriteSize, SpriteSize / 2, SpriteSize / 2);
    session.mask = bitmapOf(s.mask, SpriteSize, SpriteSize, 0, 0);
    session.picture = bitmapOf(s.picture, size.width, size.height, 0, 0);
    session.wall = bitmapOf(s.wall, TextureSize, TextureSize, 0, 0);
    session.floor = bitmapOf(s.floor, TextureSize, TextureSize, 0, 0);
    for (HClass<Bitmap>* b : {&session.sprite, &session.spriteRot, &session.mask, &session.picture, &session.wall,
                              &session.floor})
        if (!b->resolves())
            return nullptr;
    if (ZelVideo::shadeDark)
        setShadeMap256(ZelVideo::shadeDark);
    clrScreen(1);
    session.size = size;
    return &session;
}

using Body = std::function<long(benchmark::State&, Session&)>;

void add(const char* workload, Kind kind, const ScreenSize& size, Body body)
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
        report(state, pixels, touchedBytes(scrWidth, scrHeight, rowOf));
        state.SetLabel(kindName(kind));
    });
}

// Gouraud triangle through the span buffers: the right chain top -> middle ->
// bottom on side 1, the left edge top -> bottom on side 0, rows relative to
// the top vertex.
void traceTriangle(const Scene& sc)
{
    const Vec t = sc.triangle[0], m = sc.triangle[1], b = sc.triangle[2];
    polyStartIndex = 0;
    polyStopIndex = b.y - t.y;
    scanSideGouraud(t.x, 0, GouraudTop << 16, m.x, m.y - t.y, GouraudMiddle << 16, 1);
    scanSideGouraud(m.x, m.y - t.y, GouraudMiddle << 16, b.x, b.y - t.y, GouraudBottom << 16, 1);
    scanSideGouraud(t.x, 0, GouraudTop << 16, b.x, b.y - t.y, GouraudBottom << 16, 0);
    polyMinY = t.y;
    polyHeight = b.y - t.y;
}

// Every entry of the span buffer spans [from, to).
void uniformSpans(int from, int to)
{
    Point* spans = polyBuffer.get();
    for (int e = 0; e < ZelPolyRows; ++e)
        spans[e] = {{from, to}};
}

}  // namespace

void registerZelgfx(const ScreenSize& size)
{
    add(W::clear, Kind::Fill, size, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            clrScreen(7);
        return long{s.size.width} * s.size.height;
    });
    add(W::bar, Kind::Fill, size, [](benchmark::State& state, Session& s) {
        const Vec at = s.scene->barAt;
        for (auto _ : state)
            putBar(at.x, at.y, BarSize, BarSize, BarColour);
        return s.scene->barPixels;
    });
    add(W::lines, Kind::Other, size, [](benchmark::State& state, Session& s) {
        const auto& lines = s.scene->lines;
        for (auto _ : state)
            for (size_t i = 0; i < lines.size(); ++i)
                putLine(lines[i].a.x, lines[i].a.y, lines[i].b.x, lines[i].b.y, static_cast<unsigned char>(i));
        return s.scene->linePixels;
    });
    add(W::spriteTransparent, Kind::Other, size, [](benchmark::State& state, Session& s) {
        const Vec at = s.scene->spriteAt;
        for (auto _ : state)
            putImage(at.x, at.y, s.sprite, 0);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::spriteOpaque, Kind::Copy, size, [](benchmark::State& state, Session& s) {
        const Vec at = s.scene->spriteAt;
        for (auto _ : state)
            putImage(at.x, at.y, s.sprite, 2);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::screenOpaque, Kind::Copy, size, [](benchmark::State& state, Session& s) {
        for (auto _ : state)
            putImage(0, 0, s.picture, 2);
        return long{s.size.width} * s.size.height;
    });
    add(W::zoomUp, Kind::Other, size, [](benchmark::State& state, Session& s) {
        const Vec at = s.scene->zoomAt;
        for (auto _ : state)
            bmpZoomImage(at.x, at.y, s.sprite, 32768);
        return long{2 * SpriteSize} * (2 * SpriteSize);
    });
    add(W::zoomDown, Kind::Other, size, [](benchmark::State& state, Session& s) {
        const Vec at = s.scene->spriteAt;
        for (auto _ : state)
            bmpZoomImage(at.x, at.y, s.sprite, 131072);
        return long{SpriteSize / 2} * (SpriteSize / 2);
    });
    add(W::rotate, Kind::Other, size, [](benchmark::State& state, Session& s) {
        const Vec c = s.scene->centre;
        const unsigned angle = RotAngleDegrees * ZelAngleFullTurn / 360;
        for (auto _ : state)
            bmpRotImage(c.x, c.y, s.spriteRot, angle, 43691);
        return s.scene->rotatePixels;
    });
    add(W::hexagon, Kind::Fill, size, [](benchmark::State& state, Session& s) {
        PolyOf<6> hexagon;
        for (int k = 0; k < 6; ++k)
            hexagon.vertex[k] = {s.scene->hexagon[k].x, s.scene->hexagon[k].y};
        defaultColor = PolyColour;
        for (auto _ : state)
            putPolyClockwise(hexagon.poly());
        return s.scene->hexagonPixels;
    });
    add(W::gouraud, Kind::Other, size, [](benchmark::State& state, Session& s) {
        defaultColor = GouraudBase;
        for (auto _ : state) {
            traceTriangle(*s.scene);
            fillPolyGouraud();
        }
        return s.scene->trianglePixels;
    });
    add(W::gouraudFillOnly, Kind::Other, size, [](benchmark::State& state, Session& s) {
        defaultColor = GouraudBase;
        traceTriangle(*s.scene);
        for (auto _ : state)
            fillPolyGouraud();
        return s.scene->trianglePixels;
    });
    add(W::shadedBar, Kind::Other, size, [](benchmark::State& state, Session& s) {
        clrScreen(100);
        for (auto _ : state)
            ZelVideo::putShadedBar(0, 0, s.size.width, s.size.height, ShadeLevel);
        return long{s.size.width} * s.size.height;
    });
    add(W::shadedImage, Kind::Other, size, [](benchmark::State& state, Session& s) {
        const Vec at = s.scene->spriteAt;
        for (auto _ : state)
            ZelVideo::putShadedImage(at.x, at.y, s.mask);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::shadeScale, Kind::Other, size, [](benchmark::State& state, Session& s) {
        const Vec at = s.scene->spriteAt;
        for (auto _ : state)
            ZelVideo::bmpZoomImageShadeScale(at.x, at.y, s.sprite, 16, ShadeLevel);
        return long{SpriteSize} * SpriteSize;
    });
    add(W::text, Kind::Other, size, [](benchmark::State& state, Session& s) {
        const Vec at = s.scene->textAt;
        for (auto _ : state)
            ZelFont::put(at.x, at.y, textLine, TextColour);
        return long{ZelFont::getWidth(textLine)} * ZelFont::getHeight(textLine);
    });
    add(W::sideFill, Kind::Other, size, [](benchmark::State& state, Session& s) {
        // A wall 256 quarter texels ahead, turned a little off square so that
        // every column has its own depth; the centre of projection on the top
        // row keeps every texture row non-negative. The span buffer holds at
        // most ZelPolyRows columns, so wide screens take several calls.
        const int w = s.size.width, h = s.size.height;
        const unsigned angle = ZelAngleQuarterTurn - 2000;
        int view[3] = {0, 0, 256};
        uniformSpans(0, h);
        for (auto _ : state)
            for (int first = 0; first < w; first += ZelPolyRows) {
                polyMinY = first;
                polyStartIndex = 0;
                polyStopIndex = std::min(w - first, ZelPolyRows) - 1;
                bmpSideFill(w / 2, 0, view, s.wall, angle, 1u << 30);
            }
        return long{w} * h;
    });
    add(W::floorFill, Kind::Other, size, [](benchmark::State& state, Session& s) {
        // A turned floor seen from the row above the screen: every row drawn.
        const int w = s.size.width, h = s.size.height;
        int view[3] = {0, 128, 0};
        uniformSpans(0, w - 1);
        polyMinY = 0;
        polyStartIndex = 0;
        polyStopIndex = h - 1;
        for (auto _ : state)
            bmpFloorFill(w / 2, -1, view, s.floor, 3000);
        return long{w} * h;
    });
}

void shutdownZelgfx()
{
    session.release();
    ZelVideo::deinit();
}

}  // namespace zelbench
