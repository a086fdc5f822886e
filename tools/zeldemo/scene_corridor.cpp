// A first-person walk down a corridor toward its end wall: the side walls
// are column spans textured by bmpSideFill, floor and ceiling row spans by
// bmpFloorFill, the end wall drawn with bars and lines.

#include <algorithm>

#include "blit/textured_fill.h"
#include "draw/draw.h"
#include "draw/poly.h"
#include "tools/zeldemo/demo.h"
#include "video/screen.h"
#include "video/video.h"

namespace zeldemo {

namespace {

// Lengths in quarter texels: the corridor is 256 wide and 256 high, the eye
// in its middle; the end wall stands 4096 ahead of where the walk starts.
constexpr int HalfWidth = 128;
constexpr int HalfHeight = 128;
constexpr int FarDepth = 4096;

int projection()
{
    return 1 << zoomFactor;
}

// One wall as screen columns [from, to): each column sees the wall at the
// depth where the line of sight meets it, and spans the wall's height there.
void wallSpans(int from, int to, int cx, int cy)
{
    Point* spans = polyBuffer.get();
    if (!spans)
        return;
    polyMinY = from;
    polyStartIndex = 0;
    polyStopIndex = to - from - 1;
    for (int col = from; col < to; ++col) {
        const int reach = std::abs(col - cx) * HalfHeight / HalfWidth;
        spans[col - from] = {{std::max(cy - reach, 14), std::min(cy + reach, scrHeight)}};
    }
}

// Floor (below) or ceiling (above) as screen rows between the walls.
void planeSpans(int fromRow, int toRow, int cx, int cy)
{
    Point* spans = polyBuffer.get();
    if (!spans)
        return;
    polyMinY = fromRow;
    polyStartIndex = 0;
    polyStopIndex = toRow - fromRow - 1;
    for (int row = fromRow; row < toRow; ++row) {
        const int reach = std::abs(row - cy) * HalfWidth / HalfHeight;
        spans[row - fromRow] = {{std::max(cx - reach, 0), std::min(cx + reach, scrWidth - 1)}};
    }
}

// The end wall, whose half size on the screen is half: the side walls'
// bricks, eight courses of four, laid with lines at the screen's own
// resolution so that the mortar shows at any distance; a door on the floor;
// the whole darkened with distance.
void endWall(int cx, int cy, int half, int depth)
{
    const int left = cx - half, top = cy - half, size = 2 * half;
    putBar(left, top, size, size, SC::RedRamp + 5);
    for (int course = 0; course < 8; ++course) {
        const int y = top + course * size / 8, below = top + (course + 1) * size / 8 - 1;
        putLine(left, below, left + size - 1, below, SC::SandRamp + 6);
        for (int joint = course % 2 ? 1 : 2; joint < 8; joint += 2)
            putLine(left + joint * size / 8 - 1, y, left + joint * size / 8 - 1, below, SC::SandRamp + 6);
    }
    const int doorWidth = std::max(2 * half / 3, 3), doorHeight = std::max(6 * half / 5, 5);
    const int doorLeft = cx - doorWidth / 2, doorTop = cy + half - doorHeight;
    putBar(doorLeft, doorTop, doorWidth, doorHeight, SC::BrownRamp + 4);
    putRectangle(doorLeft, doorTop, doorWidth, doorHeight, SC::BrownRamp + 1);
    putPixel(doorLeft + doorWidth - 3, doorTop + doorHeight / 2, SC::Yellow);
    ZelVideo::putShadedBar(left, top, size, size, static_cast<signed char>(std::min(depth / 160, 40)));
}

}  // namespace

void drawCorridor(int frame, const Assets& a)
{
    clrScreen(SC::Background);
    const int cx = scrWidth / 2, cy = scrHeight / 2 + 7;
    const int walked = frame * 24;
    const int depth = FarDepth - walked;
    const int nearest = projection() * HalfWidth / depth;  // half size of the end wall on screen

    int floor[3] = {0, HalfHeight, -walked};
    planeSpans(cy + nearest, scrHeight, cx, cy);
    bmpFloorFill(cx, cy, floor, a.tiles, 0);
    int ceiling[3] = {0, -HalfHeight, -walked};
    planeSpans(14, cy - nearest + 1, cx, cy);
    bmpFloorFill(cx, cy, ceiling, a.ceiling, 0);

    int left[3] = {-HalfWidth, -HalfHeight, -walked};
    wallSpans(0, cx - nearest, cx, cy);
    bmpSideFill(cx, cy, left, a.bricks, 0, 64);
    int right[3] = {HalfWidth, -HalfHeight, -walked};
    wallSpans(cx + nearest, scrWidth, cx, cy);
    bmpSideFill(cx, cy, right, a.bricks, 0, 64);

    endWall(cx, cy, nearest, depth);
    title("A corridor of textured spans");
}

}  // namespace zeldemo
