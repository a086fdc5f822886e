// The shared scenes: pictures, textures and geometry made by code from a
// fixed seed, so every implementation and every run sees the same bytes.

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

void report(benchmark::State& state, long pixels, long touched)
{
    state.counters["pixels/s"] =
        benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["touched"] = static_cast<double>(touched);
}

namespace {

// Pixels whose centres lie inside a convex polygon given in either winding.
long coveredPixels(const Vec* v, int n, const ScreenSize& size)
{
    long count = 0;
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
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

// 0 outside the diamond |dx| + |dy| < 32 about the centre: 2048 of 4096.
bool inDiamond(int x, int y)
{
    const int dx = 2 * x + 1 - SpriteSize, dy = 2 * y + 1 - SpriteSize;
    return std::abs(dx) + std::abs(dy) < SpriteSize;
}

void buildScene(Scene& s)
{
    const int w = s.size.width, h = s.size.height;
    s.sprite.assign(SpriteSize * SpriteSize, 0);
    s.mask.assign(SpriteSize * SpriteSize, 0);
    for (int y = 0; y < SpriteSize; ++y)
        for (int x = 0; x < SpriteSize; ++x) {
            if (!inDiamond(x, y))
                continue;
            s.sprite[y * SpriteSize + x] = static_cast<unsigned char>(1 + (x * 3 + y * 7) % 255);
            const int d = std::abs(2 * x + 1 - SpriteSize) + std::abs(2 * y + 1 - SpriteSize);
            s.mask[y * SpriteSize + x] = static_cast<unsigned char>(32 - d / 2 * 31 / SpriteSize);
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

    s.spriteAt = {w / 2 - SpriteSize / 2, h / 2 - SpriteSize / 2};
    s.zoomAt = {w / 2 - SpriteSize, h / 2 - SpriteSize};
    s.centre = {w / 2, h / 2};
    s.barAt = {w - 60, h - 70};
    s.barPixels = 60L * 70L;

    std::mt19937 random(20240517u);
    s.lines.resize(LineCount);
    s.linePixels = 0;
    const auto point = [&random, w, h] {
        const int x = static_cast<int>(random() % static_cast<unsigned>(w));
        return Vec{x, static_cast<int>(random() % static_cast<unsigned>(h))};
    };
    for (Line& l : s.lines) {
        l.a = point();
        l.b = point();
        s.linePixels += std::max(std::abs(l.b.x - l.a.x), std::abs(l.b.y - l.a.y)) + 1;
    }

    const double pi = std::acos(-1.0);
    for (int k = 0; k < 6; ++k) {
        const double a = k * pi / 3;
        s.hexagon[k] = {s.centre.x + static_cast<int>(std::lround(HexagonRadius * std::cos(a))),
                        s.centre.y + static_cast<int>(std::lround(HexagonRadius * std::sin(a)))};
    }
    s.hexagonPixels = coveredPixels(s.hexagon, 6, s.size);
    s.triangle[0] = {w / 2, 0};
    s.triangle[1] = {w - 1, h / 2};
    s.triangle[2] = {w / 8, h - 1};
    s.trianglePixels = coveredPixels(s.triangle, 3, s.size);
    const int side = static_cast<int>(SpriteSize * RotScale);
    s.rotatePixels = static_cast<long>(side) * side;
    s.textAt = {0, h / 2};
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
        buildScene(*slot);
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
