// The geometry of runs, bars, outlines and lines, clipped against a bitmap's
// clip region and handed to a pixel operation (solid, XOR, save, restore).
// Every solid, XOR and rubber-band figure of the library walks through here.
#pragma once

#include <algorithm>
#include <cstdint>

#include "bitmap/bitmap.h"
#include "draw/cliprgn.h"
#include "video/wrapint.h"

namespace walk {

// Column run from start (drawing coordinates) downward, top to bottom.
template <class Op> void vRun(Bitmap& b, const ZelClipRgn& r, ZelVector2 start, int32_t length, Op& op)
{
    if (length <= 0)
        return;
    const int32_t column = r.mapX(start.x);
    if (!r.containsX(column))
        return;
    const int32_t r1 = r.clampY(start.y);
    const int32_t r2 = r.clampY(wrapAdd(start.y, length));
    const int32_t bottom = std::max(r1, r2);
    unsigned char* p = b.pixelAt(column, std::min(r1, r2));
    for (int32_t y = std::min(r1, r2); y < bottom; ++y, p += b.width)
        op.pixel(p);
}

// Row run from start rightward, as one span.
template <class Op> void hRun(Bitmap& b, const ZelClipRgn& r, ZelVector2 start, int32_t length, Op& op)
{
    if (length <= 0)
        return;
    const int32_t row = r.mapY(start.y);
    if (!r.containsY(row))
        return;
    const int32_t c1 = r.clampX(start.x);
    const int32_t c2 = r.clampX(wrapAdd(start.x, length));
    const int32_t left = std::min(c1, c2);
    if (c1 != c2)
        op.span(b.pixelAt(left, row), std::max(c1, c2) - left);
}

// Filled rectangle, one span per row, top to bottom.
template <class Op> void fillRect(Bitmap& b, const ZelClipRgn& r, ZelVector2 pos, ZelVector2 size, Op& op)
{
    if (size.x <= 0 || size.y <= 0)
        return;
    const int32_t r1 = r.clampY(pos.y), r2 = r.clampY(wrapAdd(pos.y, size.y));
    const int32_t c1 = r.clampX(pos.x), c2 = r.clampX(wrapAdd(pos.x, size.x));
    if (r2 <= r1 || c2 <= c1)
        return;
    unsigned char* p = b.pixelAt(c1, r1);
    for (int32_t y = r1; y < r2; ++y, p += b.width)
        op.span(p, c2 - c1);
}

// One-pixel outline; negative sizes move the rectangle. Corners belong to the
// rows, so each outline pixel is visited once.
template <class Op> void frameRect(Bitmap& b, const ZelClipRgn& r, ZelVector2 pos, ZelVector2 size, Op& op)
{
    if (size.x == 0 || size.y == 0)
        return;
    if (size.x < 0) {
        pos.x = wrapAdd(pos.x, size.x);
        size.x = wrapSub(0, size.x);
    }
    if (size.y < 0) {
        pos.y = wrapAdd(pos.y, size.y);
        size.y = wrapSub(0, size.y);
    }
    hRun(b, r, pos, size.x, op);
    if (size.y > 1)
        hRun(b, r, {pos.x, wrapAdd(pos.y, size.y - 1)}, size.x, op);
    if (size.y > 2) {
        vRun(b, r, {pos.x, wrapAdd(pos.y, 1)}, size.y - 2, op);
        if (size.x > 1)
            vRun(b, r, {wrapAdd(pos.x, size.x - 1), wrapAdd(pos.y, 1)}, size.y - 2, op);
    }
}

inline int32_t saturatingAbs(int32_t v)
{
    return v >= 0 ? v : v == INT32_MIN ? INT32_MAX : -v;
}

// Segment with both end points, in drawing coordinates. Vertical and
// horizontal segments take the run paths; others are clipped, then walked
// with an integer error term from the clipped first point, keeping the slope
// of the unclipped points. The minor step comes before the major one, and an
// error of 0 takes it. The error arithmetic wraps in 32 bits as it always has.
template <class Op> void line(Bitmap& b, const ZelClipRgn& r, ZelVector2 from, ZelVector2 to, Op& op)
{
    const int32_t dx = wrapSub(to.x, from.x);
    const int32_t dy = wrapSub(to.y, from.y);
    if (dx == 0) {
        if (dy >= 0)
            vRun(b, r, from, wrapAdd(dy, 1), op);
        else
            vRun(b, r, {from.x, to.y}, wrapSub(1, dy), op);
        return;
    }
    if (dy == 0) {
        if (dx > 0)
            hRun(b, r, from, wrapAdd(dx, 1), op);
        else
            hRun(b, r, {to.x, from.y}, wrapSub(1, dx), op);
        return;
    }
    ZelVector2 p1 = from, p2 = to;
    if (!r.clipLine(p1, p2))
        return;

    const int32_t sx = dx >= 0 ? 1 : -1;
    const int32_t sy = dy >= 0 ? 1 : -1;
    const int32_t ax = saturatingAbs(dx), ay = saturatingAbs(dy);
    const ptrdiff_t rowStep = sy > 0 ? b.width : -static_cast<ptrdiff_t>(b.width);
    unsigned char* p = b.pixelAt(p1.x, p1.y);
    int32_t x = p1.x, y = p1.y;
    op.pixel(p);
    // The guards on the major axis never fire for a segment clipLine accepted;
    // they keep a degenerate cut from walking out of the region.
    if (ax > ay) {
        int32_t e = wrapSub(wrapMul(2, ay), ax);
        while (x != p2.x) {
            if (e >= 0) {
                y += sy;
                if (!r.containsY(y))
                    return;
                p += rowStep;
                e = wrapSub(e, wrapMul(2, ax));
            }
            x += sx;
            if (!r.containsX(x))
                return;
            p += sx;
            e = wrapAdd(e, wrapMul(2, ay));
            op.pixel(p);
        }
    } else {
        int32_t e = wrapSub(wrapMul(2, ax), ay);
        while (y != p2.y) {
            if (e >= 0) {
                x += sx;
                if (!r.containsX(x))
                    return;
                p += sx;
                e = wrapSub(e, wrapMul(2, ay));
            }
            y += sy;
            if (!r.containsY(y))
                return;
            p += rowStep;
            e = wrapAdd(e, wrapMul(2, ax));
            op.pixel(p);
        }
    }
}

}  // namespace walk
