// What every implementation of a workload shares: the screen sizes, the
// workload names and kinds, and the procedurally made pictures and geometry,
// so that zelgfx, the peers and the memory limits work on the same bytes.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace zelbench {

struct ScreenSize {
    int width;
    int height;
};

inline const ScreenSize screenSizes[] = {{320, 200}, {640, 480}, {1280, 720}};

// How a workload is judged against the memory limit: fills against memset,
// opaque copies against memcpy; the others are only shown beside memcpy.
enum class Kind { Fill, Copy, Other };

const char* kindName(Kind kind);

// Benchmark name: "<implementation>/<workload>/<width>x<height>".
std::string benchName(const char* implementation, const char* workload, const ScreenSize& size);

// Workload names, shared by every implementation.
namespace W {
inline constexpr const char* clear = "clrScreen";
inline constexpr const char* bar = "putBar_100x100_clipped";
inline constexpr const char* lines = "putLine_random";
inline constexpr const char* spriteTransparent = "putImage_transparent_64";
inline constexpr const char* spriteOpaque = "putImage_opaque_64";
inline constexpr const char* screenOpaque = "putImage_opaque_fullscreen";
inline constexpr const char* zoomUp = "bmpZoomImage_2x";
inline constexpr const char* zoomDown = "bmpZoomImage_0.5x";
inline constexpr const char* rotate = "bmpRotImage_30deg_1.5x";
inline constexpr const char* hexagon = "putPolyClockwise_hexagon150";
inline constexpr const char* gouraud = "fillPolyGouraud_triangle";
inline constexpr const char* gouraudFillOnly = "fillPolyGouraud_triangle_fillonly";
inline constexpr const char* shadedBar = "putShadedBar_fullscreen";
inline constexpr const char* shadedImage = "putShadedImage_64";
inline constexpr const char* shadeScale = "bmpZoomImageShadeScale_64";
inline constexpr const char* text = "ZelFont_put_40chars";
inline constexpr const char* sideFill = "bmpSideFill_fullscreen";
inline constexpr const char* floorFill = "bmpFloorFill_fullscreen";
}  // namespace W

constexpr int SpriteSize = 64;
constexpr int TextureSize = 64;
constexpr int BarSize = 100;
constexpr int LineCount = 256;
constexpr int HexagonRadius = 75;  // 150 pixels from vertex to vertex
constexpr int RotAngleDegrees = 30;
constexpr double RotScale = 1.5;
// Every screen starts in this colour; "touched" counts the bytes that differ
// from it after a benchmark, to show that each implementation drew as much.
constexpr unsigned char Background = 253;
constexpr unsigned char BarColour = 40;
constexpr unsigned char PolyColour = 72;
constexpr unsigned char GouraudBase = 96;  // a ramp of 16 colours from here
constexpr int GouraudTop = 15, GouraudMiddle = 6, GouraudBottom = 1;
constexpr signed char ShadeLevel = 20;
constexpr unsigned char TextColour = 15;
inline constexpr const char* textLine = "Pack my box with five dozen liquor jugs!";  // 40 characters

struct Vec {
    int x;
    int y;
};

struct Line {
    Vec a;
    Vec b;
};

// Everything a workload at one screen size draws with and where.
struct Scene {
    ScreenSize size;

    // 64 x 64 diamond sprite: exactly half of the pixels are 0, the others
    // colours 1 to 255. The shade mask has the same shape, with darkening
    // shade values 17 to 32 (darkest in the middle).
    std::vector<unsigned char> sprite;
    std::vector<unsigned char> mask;
    // A full-screen picture without any 0, and two 64 x 64 textures.
    std::vector<unsigned char> picture;
    std::vector<unsigned char> wall;
    std::vector<unsigned char> floor;

    Vec spriteAt;  // top-left corner of the 1:1 sprite blits
    Vec zoomAt;    // top-left corner of the scaled blits
    Vec centre;    // screen centre: rotation and hexagon
    Vec barAt;     // 100 x 100 bar hanging over the bottom-right corner
    std::vector<Line> lines;
    Vec hexagon[6];   // clockwise on the screen (y down)
    Vec triangle[3];  // top, middle on the right, bottom-left
    Vec textAt;

    // Pixels per call, the same for every implementation (text excepted:
    // each counts the box its own font covers).
    long barPixels;
    long linePixels;
    long hexagonPixels;
    long trianglePixels;
    long rotatePixels;
};

// Built once per size, deterministic (fixed seed).
const Scene& sceneFor(const ScreenSize& size);

// Allegro's colour map for trans and lit drawing: map[a][b] = colour b seen
// through shade value a (1..64 darker), i.e. the library's dark table
// transposed. Filled by the zelgfx side once the standard tables are loaded;
// a computed stand-in otherwise.
const unsigned char* shadeMap256();
void setShadeMap256(const unsigned char* darkTable);

// Bytes of a picture that differ from Background; rowOf(y) gives row y.
template <class RowOf> long touchedBytes(int width, int height, RowOf rowOf)
{
    long touched = 0;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = rowOf(y);
        touched += width - std::count(row, row + width, Background);
    }
    return touched;
}

// The counters every benchmark reports: pixels per second from the pixels of
// one iteration, and the bytes touched.
void report(benchmark::State& state, long pixels, long touched);

// Each implementation registers its benchmarks for one screen size; the
// registration order is the run order, grouped by size.
void registerZelgfx(const ScreenSize& size);
void registerAllegro(const ScreenSize& size);
void registerSdl(const ScreenSize& size);
void registerLimits(const ScreenSize& size);
void shutdownZelgfx();

}  // namespace zelbench
