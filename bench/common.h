// What every implementation of a workload shares: the screen sizes, the
// workload names and kinds, and the procedurally made pictures and the
// seeded call sequences, so that zelgfx, the peers and the memory limits
// draw the same bytes at the same places.
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

// The screens a game of this library draws on.
inline const ScreenSize screenSizes[] = {{320, 200}, {640, 480}};

// How a workload is judged against the memory limit: the full-screen clear
// against memset, the full-screen copy against memcpy; the others only show
// the limit beside them.
enum class Kind { Fill, Copy, Other };

const char* kindName(Kind kind);

// Benchmark name: "<implementation>/<workload>/<width>x<height>". A peer
// with several calls for one picture names each "<peer>.<call>", e.g.
// "allegro.rle"; the results compare zelgfx with the fastest of them.
std::string benchName(const char* implementation, const char* workload, const ScreenSize& size);

// Workload names, shared by every implementation.
namespace W {
inline constexpr const char* clear = "clrScreen";
inline constexpr const char* bar = "putBar_varied";
inline constexpr const char* lines = "putLine_random";
inline constexpr const char* spriteTransparent = "putImage_transparent_varied";
inline constexpr const char* spriteOpaque = "putImage_opaque_varied";
inline constexpr const char* screenOpaque = "putImage_opaque_fullscreen";
inline constexpr const char* zoomUp = "bmpZoomImage_2x_varied";
inline constexpr const char* zoomDown = "bmpZoomImage_0.5x_varied";
inline constexpr const char* rotate = "bmpRotImage_varied";
inline constexpr const char* polygon = "putPolyClockwise_hexagon_varied";
inline constexpr const char* gouraud = "fillPolyGouraud_triangle_varied";
inline constexpr const char* shadedBar = "putShadedBar_varied";
inline constexpr const char* shadedImage = "putShadedImage_varied";
inline constexpr const char* shadeScale = "bmpZoomImageShadeScale_varied";
inline constexpr const char* text = "ZelFont_put_40chars_varied";
inline constexpr const char* sideFill = "bmpSideFill_varied";
inline constexpr const char* floorFill = "bmpFloorFill_varied";
}  // namespace W

constexpr int SpriteCount = 12;     // sprites of sides 16 to 128
constexpr int CallsPerBatch = 64;   // one benchmark iteration draws one batch
constexpr int LineCount = 256;
constexpr int TextureSize = 64;
// Every screen starts in this colour; "touched" counts the bytes that differ
// from it after a benchmark, to show that each implementation drew as much.
constexpr unsigned char Background = 253;
constexpr unsigned char PolyColour = 72;
constexpr unsigned char GouraudBase = 96;  // ramps of up to 64 colours from here
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

// A sprite: about half of its pixels are 0 (an ellipse of colours 1 to 255),
// and a shade mask of the same shape with darkening values 17 to 32.
struct Sprite {
    int w, h;
    std::vector<unsigned char> pixels;
    std::vector<unsigned char> mask;
};

// One call of a sprite, bar, zoom or rotation workload: which sprite (or the
// bar's size), where its top-left corner goes, and the angle and scale of
// the rotations.
struct Call {
    int sprite;
    Vec at;
    int w, h;          // footprint on the screen before clipping
    int degrees;       // rotation angle, 0 to 359
    double scale;      // rotation scale
    signed char shade; // shade value of the shaded workloads, 1 to 40
};

// A Gouraud triangle: top, middle on the right, bottom-left, with an
// intensity (colour offset from GouraudBase) at each vertex.
struct Triangle {
    Vec v[3];
    int level[3];
};

// A perspective surface filling a screen rectangle [x0, x1) x [y0, y1):
// the angle turns the texture, near and far give the depth at the two ends
// (bottom and top for a floor, left and right for a wall).
struct Surface {
    int x0, y0, x1, y1;
    int angle;  // degrees
    double nearZ, farZ;
};

// Everything a workload at one screen size draws with and where. All
// sequences come from one seeded generator, in a fixed order.
struct Scene {
    ScreenSize size;

    std::vector<Sprite> sprites;
    std::vector<unsigned char> picture;  // full screen, no 0
    std::vector<unsigned char> wall;     // 64 x 64 textures
    std::vector<unsigned char> floor;

    std::vector<Call> sprites1to1;  // 1:1 sprites (transparent, opaque, shaded, lit)
    std::vector<Call> bars;         // bars and shaded bars, 16 to 128 a side
    std::vector<Call> zoomUp;       // sprites of sides 16 to 64 drawn twice as large
    std::vector<Call> zoomDown;     // sprites of sides 64 to 128 drawn half as large
    std::vector<Call> rotations;
    std::vector<Call> texts;
    std::vector<Line> lines;
    std::vector<std::vector<Vec>> hexagons;  // clockwise on the screen (y down)
    std::vector<Triangle> triangles;
    std::vector<Surface> floors, walls;

    // Pixels per batch, the same for every implementation (text excepted:
    // each counts the box its own font covers): footprints cut to the screen.
    long spritePixels = 0, barPixels = 0, zoomUpPixels = 0, zoomDownPixels = 0, rotatePixels = 0;
    long linePixels = 0, hexagonPixels = 0, trianglePixels = 0, floorPixels = 0, wallPixels = 0;
};

// Built once per size, deterministic (fixed seed).
const Scene& sceneFor(const ScreenSize& size);

// The part of a w x h footprint at (x, y) that lies on the screen.
long visiblePixels(const ScreenSize& size, int x, int y, int w, int h);

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
// one iteration, the calls of one iteration (to give the time per call) and
// the bytes touched.
void report(benchmark::State& state, long pixels, long calls, long touched);

// Each implementation registers its benchmarks for one screen size; the
// registration order is the run order, grouped by size.
void registerZelgfx(const ScreenSize& size);
void registerAllegro(const ScreenSize& size);
void registerSdl(const ScreenSize& size);
void registerLimits(const ScreenSize& size);
void shutdownZelgfx();

}  // namespace zelbench
