// Filled bars, rectangle outlines and bevelled boxes.

#include "draw/draw.h"
#include "draw/pixel_ops.h"
#include "draw/target.h"
#include "draw/walk.h"

void fillRect(ZelVector2 pos, ZelVector2 size, unsigned char colour, Bitmap& bitmap)
{
    SolidOp op{colour};
    if (const auto r = bitmap.drawingRgn())
        walk::fillRect(bitmap, *r, pos, size, op);
}

void frameRect(ZelVector2 pos, ZelVector2 size, unsigned char colour, Bitmap& bitmap)
{
    SolidOp op{colour};
    if (const auto r = bitmap.drawingRgn())
        walk::frameRect(bitmap, *r, pos, size, op);
}

void putBar(int x, int y, int width, int height, unsigned char colour)
{
    if (DrawTarget t = DrawTarget::screen())
        fillRect({x, y}, {width, height}, colour, *t.bitmap);
}

void putRectangle(int x, int y, int width, int height, unsigned char colour)
{
    if (DrawTarget t = DrawTarget::screen())
        frameRect({x, y}, {width, height}, colour, *t.bitmap);
}

namespace {

// One step of a box: a bar, or a run across (horizontal) or down (vertical).
struct BoxStep {
    enum Kind : unsigned char { Bar, Across, Down } kind;
    int dx, dy;  // offset of the start from (x, y)
    int dw, dh;  // size relative to (w, h): length = w + dw (or h + dh)
    bool fromRight, fromBottom;  // offsets counted from x + w or y + h
    unsigned char colour;
};

constexpr unsigned char F = ZelBoxFace, L = ZelBoxLight, S = ZelBoxShadow;
using K = BoxStep::Kind;

// The drawing sequence of each style; later steps overwrite earlier ones.
constexpr BoxStep Raised[] = {
    {K::Bar, 1, 1, -2, -2, false, false, F},   {K::Across, 0, 0, 0, 0, false, false, L},
    {K::Down, 0, 0, 0, 0, false, false, L},    {K::Across, 0, -1, 0, 0, false, true, S},
    {K::Down, -1, 0, 0, 0, true, false, S},
};
constexpr BoxStep Sunken[] = {
    {K::Bar, 1, 1, -2, -2, false, false, F},   {K::Across, 0, 0, 0, 0, false, false, S},
    {K::Down, 0, 0, 0, 0, false, false, S},    {K::Across, 1, -1, -1, 0, false, true, L},
    {K::Down, -1, 1, 0, -1, true, false, L},
};
constexpr BoxStep DoubleRaised[] = {
    {K::Bar, 2, 2, -4, -4, false, false, F},   {K::Across, 0, 0, -1, 0, false, false, L},
    {K::Across, 0, 1, -2, 0, false, false, L}, {K::Down, 0, 2, 0, -3, false, false, L},
    {K::Down, 1, 2, 0, -4, false, false, L},   {K::Across, 0, -1, 0, 0, false, true, S},
    {K::Across, 1, -2, -1, 0, false, true, S}, {K::Down, -1, 0, 0, 0, true, false, S},
    {K::Down, -2, 1, 0, -1, true, false, S},
};
constexpr BoxStep Pressed[] = {
    {K::Bar, 1, 1, -1, -1, false, false, F},
    {K::Across, 0, 0, 0, 0, false, false, S},
    {K::Down, 0, 1, 0, -1, false, false, S},
};

template <size_t N> void drawBox(const BoxStep (&steps)[N], int x, int y, int w, int h, Bitmap& screen)
{
    for (const BoxStep& s : steps) {
        const ZelVector2 at{wrapAdd(s.fromRight ? wrapAdd(x, w) : x, s.dx),
                            wrapAdd(s.fromBottom ? wrapAdd(y, h) : y, s.dy)};
        const ZelVector2 size{wrapAdd(w, s.dw), wrapAdd(h, s.dh)};
        switch (s.kind) {
        case K::Bar: fillRect(at, size, s.colour, screen); break;
        case K::Across: hRun(at, size.x, s.colour, screen); break;
        case K::Down: vRun(at, size.y, s.colour, screen); break;
        }
    }
}

}  // namespace

void putBox(int x, int y, int width, int height, unsigned char style)
{
    DrawTarget t = DrawTarget::screen();
    if (!t)
        return;
    switch (style) {
    case 0: drawBox(Raised, x, y, width, height, *t.bitmap); break;
    case 1: drawBox(Sunken, x, y, width, height, *t.bitmap); break;
    case 2: drawBox(DoubleRaised, x, y, width, height, *t.bitmap); break;
    case 3: drawBox(Pressed, x, y, width, height, *t.bitmap); break;
    default: break;
    }
}
