// The shared scenes: pictures, textures and call sequences made by code from
// one seeded generator, so every implementation and every run draws the same
// bytes at the same places.

#include "bench/common.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>

namespace zelbench {

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::Fill:
        return "fill";
    case Kind::Copy:
        return "copy";
    case Kind::Other:
        break;
    }
    return "other";
}

std::string benchName(const char* implementation, const char* workload, const ScreenSize& size)
{
    return std::string(implementation) + "/" + workload + "/" + std::to_string(size.width) + "x" +
           std::to_string(size.height);
}

void report(benchmark::State& state, long pixels, long calls, long touched)
{
    state.counters["pixels/s"] =
        benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["calls"] = static_cast<double>(calls);
    state.counters["touched"] = static_cast<double>(touched);
}

long visiblePixels(const ScreenSize& size, int x, int y, int w, int h)
{
    const long cw = std::max(0, std::min(x + w, size.width) - std::max(x, 0));
    const long ch = std::max(0, std::min(y + h, size.height) - std::max(y, 0));
    return cw * ch;
}

namespace {

// Integers in [lo, hi] from the run's generator: the same on every compiler,
// which std::uniform_int_distribution does not promise.
class Draws {
public:
    explicit Draws(uint32_t seed) : random_(seed) {}
    int in(int lo, int hi) { return hi <= lo ? lo : lo + static_cast<int>(random_() % static_cast<uint32_t>(hi - lo + 1)); }
    int even(int lo, int hi) { return in(lo / 2, hi / 2) * 2; }

private:
    std::mt19937 random_;
};

// Pixels whose centres lie inside a convex polygon given in either winding.
long coveredPixels(const std::vector<Vec>& v, const ScreenSize& size)
{
    int x0 = size.width, y0 = size.height, x1 = 0, y1 = 0;
    for (const Vec& p : v) {
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    long count = 0;
    const int n = static_cast<int>(v.size());
    for (int y = std::max(y0, 0); y < std::min(y1 + 1, size.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1 + 1, size.width); ++x) {
            const double px = x + 0.5, py = y + 0.5;
            int positive = 0, negative = 0;
            for (int i = 0; i < n; ++i) {
                const Vec& a = v[i];
                const Vec& b = v[(i + 1) % n];
                const double cross = (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
                positive += cross > 0;
                negative += cross < 0;
            }
            count += positive == 0 || negative == 0;
        }
    return count;
}

// A diamond |dx| / w + |dy| / h < 1 about the centre: about half the pixels.
Sprite makeSprite(int w, int h)
{
    Sprite s{w, h, std::vector<unsigned char>(static_cast<size_t>(w) * h), std::vector<unsigned char>(static_cast<size_t>(w) * h)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double d = std::abs(2 * x + 1 - w) / static_cast<double>(w) + std::abs(2 * y + 1 - h) / static_cast<double>(h);
            if (d >= 1)
                continue;
            s.pixels[static_cast<size_t>(y) * w + x] = static_cast<unsigned char>(1 + (x * 3 + y * 7) % 255);
            s.mask[static_cast<size_t>(y) * w + x] = static_cast<unsigned char>(32 - static_cast<int>(d * 15.99));
        }
    return s;
}

// A footprint of w x h placed over the screen, up to a quarter of it past an
// edge, as a game's sprites come and go.
Vec placed(Draws& r, const ScreenSize& size, int w, int h)
{
    return {r.in(-w / 4, size.width - 3 * w / 4), r.in(-h / 4, size.height - 3 * h / 4)};
}

void buildPictures(Scene& s, Draws& r)
{
    const int w = s.size.width, h = s.size.height;
    // Even sprites have sides of 16 to 64, odd ones 64 to 128.
    for (int k = 0; k < SpriteCount; ++k) {
        const int lo = k % 2 ? 64 : 16, hi = k % 2 ? 128 : 64;
        s.sprites.push_back(makeSprite(r.even(lo, hi), r.even(lo, hi)));
    }
    s.picture.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.picture[static_cast<size_t>(y) * w + x] = static_cast<unsigned char>(1 + (x ^ y) % 255);
    s.wall.resize(TextureSize * TextureSize);
    s.floor.resize(TextureSize * TextureSize);
    for (int y = 0; y < TextureSize; ++y)
        for (int x = 0; x < TextureSize; ++x) {
            const bool mortar = y % 8 == 7 || (x + (y / 8 % 2) * 8) % 16 == 15;
            s.wall[y * TextureSize + x] = static_cast<unsigned char>(mortar ? 150 : 160 + (x * 7 + y * 13) % 3);
            s.floor[y * TextureSize + x] = static_cast<unsigned char>((x / 16 + y / 16) % 2 ? 180 : 190);
        }
}

void buildSpriteCalls(Scene& s, Draws& r)
{
    const ScreenSize& size = s.size;
    for (int i = 0; i < CallsPerBatch; ++i) {
        Call c{};
        c.sprite = r.in(0, SpriteCount - 1);
        c.w = s.sprites[c.sprite].w, c.h = s.sprites[c.sprite].h;
        c.at = placed(r, size, c.w, c.h);
        c.shade = static_cast<signed char>(r.in(1, 40));
        s.sprites1to1.push_back(c);
        s.spritePixels += visiblePixels(size, c.at.x, c.at.y, c.w, c.h);

        Call b{};
        b.w = r.in(16, 128), b.h = r.in(16, 128);
        b.at = placed(r, size, b.w, b.h);
        b.shade = static_cast<signed char>(r.in(1, 40));
        s.bars.push_back(b);
        s.barPixels += visiblePixels(size, b.at.x, b.at.y, b.w, b.h);

        Call up{};
        up.sprite = 2 * r.in(0, SpriteCount / 2 - 1);
        up.w = 2 * s.sprites[up.sprite].w, up.h = 2 * s.sprites[up.sprite].h;
        up.at = placed(r, size, up.w, up.h);
        s.zoomUp.push_back(up);
        s.zoomUpPixels += visiblePixels(size, up.at.x, up.at.y, up.w, up.h);

        Call down{};
        down.sprite = 2 * r.in(0, SpriteCount / 2 - 1) + 1;
        down.w = s.sprites[down.sprite].w / 2, down.h = s.sprites[down.sprite].h / 2;
        down.at = placed(r, size, down.w, down.h);
        s.zoomDown.push_back(down);
        s.zoomDownPixels += visiblePixels(size, down.at.x, down.at.y, down.w, down.h);

        // Rotations: at.x, at.y is where the sprite's centre lands.
        Call rot{};
        rot.sprite = r.in(0, SpriteCount - 1);
        rot.degrees = r.in(0, 359);
        rot.scale = 0.75 + 0.25 * r.in(0, 3);
        rot.w = static_cast<int>(s.sprites[rot.sprite].w * rot.scale);
        rot.h = static_cast<int>(s.sprites[rot.sprite].h * rot.scale);
        rot.at = {r.in(0, size.width - 1), r.in(0, size.height - 1)};
        s.rotations.push_back(rot);
        s.rotatePixels += visiblePixels(size, rot.at.x - rot.w / 2, rot.at.y - rot.h / 2, rot.w, rot.h);

        Call t{};
        t.at = {r.in(-40, size.width - 100), r.in(-4, size.height - 4)};
        s.texts.push_back(t);
    }
}

void buildGeometry(Scene& s, Draws& r)
{
    const ScreenSize& size = s.size;
    const int w = size.width, h = size.height;
    s.lines.resize(LineCount);
    for (Line& l : s.lines) {
        l.a = {r.in(0, w - 1), r.in(0, h - 1)};
        l.b = {r.in(0, w - 1), r.in(0, h - 1)};
        s.linePixels += std::max(std::abs(l.b.x - l.a.x), std::abs(l.b.y - l.a.y)) + 1;
    }

    const double pi = std::acos(-1.0);
    for (int i = 0; i < CallsPerBatch; ++i) {
        // Hexagons 20 to 128 pixels across, turned, their centres on the screen.
        const int radius = r.in(10, 64);
        const double turn = r.in(0, 59) * pi / 180;
        const Vec centre{r.in(0, w - 1), r.in(0, h - 1)};
        std::vector<Vec> hexagon;
        for (int k = 0; k < 6; ++k) {
            const double a = turn + k * pi / 3;
            hexagon.push_back({centre.x + static_cast<int>(std::lround(radius * std::cos(a))),
                               centre.y + static_cast<int>(std::lround(radius * std::sin(a)))});
        }
        s.hexagonPixels += coveredPixels(hexagon, size);
        s.hexagons.push_back(hexagon);

        // Triangles with rows of up to 20 to 120 pixels, ramps of 16 to 64
        // shades, wholly on the screen.
        const int tw = r.in(20, 120), th = r.in(20, std::min(120, h - 1));
        const int x0 = r.in(0, w - 1 - tw), y0 = r.in(0, h - 1 - th);
        Triangle t{};
        t.v[0] = {x0 + r.in(0, tw / 2), y0};
        t.v[1] = {x0 + tw, y0 + r.in(th / 3, 2 * th / 3)};
        t.v[2] = {x0 + r.in(0, tw / 4), y0 + th};
        const int ramp = r.in(16, 64);
        const int bright = r.in(0, 2), dark = (bright + r.in(1, 2)) % 3;
        for (int k = 0; k < 3; ++k)
            t.level[k] = k == bright ? ramp - 1 : k == dark ? 0 : r.in(0, ramp - 1);
        s.trianglePixels += coveredPixels({t.v[0], t.v[1], t.v[2]}, size);
        s.triangles.push_back(t);

        // Floors below a horizon and walls, 64 to 256 pixels wide.
        Surface f{};
        const int fw = r.in(64, std::min(256, w)), fh = r.in(24, std::min(96, h / 2));
        f.x0 = r.in(0, w - fw), f.y0 = r.in(1, h - fh), f.x1 = f.x0 + fw, f.y1 = f.y0 + fh;
        f.angle = r.in(0, 359);
        f.nearZ = 1.0, f.farZ = 2.0 + r.in(0, 6);
        s.floors.push_back(f);
        s.floorPixels += long{fw} * fh;

        Surface wl{};
        const int ww = r.in(64, std::min(256, w)), wh = r.in(32, std::min(128, h));
        wl.x0 = r.in(0, w - ww), wl.y0 = r.in(0, h - wh), wl.x1 = wl.x0 + ww, wl.y1 = wl.y0 + wh;
        wl.angle = r.in(-20, 20);
        wl.nearZ = 1.0, wl.farZ = 1.0 + r.in(1, 4) * 0.5;
        s.walls.push_back(wl);
        s.wallPixels += long{ww} * wh;
    }
}

unsigned char shadeMap[256 * 256];
bool shadeMapSet = false;

}  // namespace

const Scene& sceneFor(const ScreenSize& size)
{
    static std::map<std::pair<int, int>, std::unique_ptr<Scene>> scenes;
    auto& slot = scenes[{size.width, size.height}];
    if (!slot) {
        slot = std::make_unique<Scene>();
        slot->size = size;
        Draws draws(20240517u);
        buildPictures(*slot, draws);
        buildSpriteCalls(*slot, draws);
        buildGeometry(*slot, draws);
    }
    return *slot;
}

void setShadeMap256(const unsigned char* darkTable)
{
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            shadeMap[a * 256 + b] =
                a >= 1 && a <= 64 ? darkTable[b * 64 + (a - 1)] : static_cast<unsigned char>(b);
    shadeMapSet = true;
}

const unsigned char* shadeMap256()
{
    if (!shadeMapSet) {
        // Without the library's tables: darken by moving toward the start of
        // each 16-colour ramp.
        unsigned char stand[256 * 64];
        for (int c = 0; c < 256; ++c)
            for (int l = 0; l < 64; ++l)
                stand[c * 64 + l] = static_cast<unsigned char>((c & ~15) + (c & 15) * (64 - l) / 64);
        setShadeMap256(stand);
    }
    return shadeMap;
}

}  // namespace zelbench
