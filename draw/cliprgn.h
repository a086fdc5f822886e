// The clip region: a half-open rectangle of a bitmap with a drawing origin,
// kept as a stack on the bitmap. Every primitive maps drawing coordinates and
// clips through the region on top of the Screen's stack.
#pragma once

#include <cstdint>

#include "video/handles.h"
#include "video/wrapint.h"
#include "video/zelapi.h"

// The library's integer point.
struct ZELGFX_API ZelVector2 {
    int32_t x;
    int32_t y;

    ZelVector2() = default;
    constexpr ZelVector2(int32_t px, int32_t py) : x(px), y(py) {}

    bool operator==(const ZelVector2&) const = default;
    ZelVector2 operator-(const ZelVector2& o) const;

    // The point of the line p -> q on column x (pointAtX) or row y (pointAtY),
    // interpolated from p in double precision and truncated toward zero.
    static ZelVector2 pointAtX(const ZelVector2& p, const ZelVector2& q, int32_t x);
    static ZelVector2 pointAtY(const ZelVector2& p, const ZelVector2& q, int32_t y);
};

struct ZELGFX_API ZelClipRgn {
    int32_t left;     // first visible column, inclusive
    int32_t top;      // first visible row, inclusive
    int32_t right;    // column past the last visible one
    int32_t bottom;   // row past the last visible one
    int32_t originX;  // drawing origin, counted from left
    int32_t originY;  // drawing origin, counted from top
    HandleSlot<HClass<ZelClipRgn>> next;  // region beneath; 65535 when none

    // Bitmap column / row of a drawing coordinate.
    int32_t mapX(int32_t x) const { return wrapAdd(wrapAdd(left, originX), x); }
    int32_t mapY(int32_t y) const { return wrapAdd(wrapAdd(top, originY), y); }

    // Bitmap coordinate of a drawing coordinate clamped to [left, right] /
    // [top, bottom]: the far edge itself serves as an exclusive run end.
    // Inline: the polygon clip and the blits call them for every row.
    int32_t clampX(int x) const
    {
        const int32_t c = mapX(x);
        return c < left ? left : c > right ? right : c;
    }
    int32_t clampY(int y) const
    {
        const int32_t c = mapY(y);
        return c < top ? top : c > bottom ? bottom : c;
    }

    bool containsX(int32_t x) const { return x >= left && x <= wrapSub(right, 1); }
    bool containsY(int32_t y) const { return y >= top && y <= wrapSub(bottom, 1); }
    bool contains(int32_t x, int32_t y) const
    {
        return containsX(x) && containsY(y);
    }

    // The same region with its rectangle cut to the pixels of a width x
    // height bitmap; drawing coordinates map to the same bitmap pixels.
    // Inline: every screen primitive cuts its region at each call.
    ZelClipRgn cutTo(int32_t width, int32_t height) const
    {
        ZelClipRgn cut = *this;
        cut.left = left > 0 ? left : 0;
        cut.top = top > 0 ? top : 0;
        cut.right = right < width ? right : width;
        cut.bottom = bottom < height ? bottom : height;
        cut.originX = wrapSub(wrapAdd(left, originX), cut.left);
        cut.originY = wrapSub(wrapAdd(top, originY), cut.top);
        return cut;
    }

    // Translates both end points to bitmap coordinates in place and clips them
    // to the rectangle; false when nothing of the segment is visible.
    bool clipLine(ZelVector2& p1, ZelVector2& p2) const;

private:
    enum Outcode : unsigned { Left = 1, Right = 2, Above = 4, Below = 8 };
    unsigned outcode(const ZelVector2& p) const;
    bool clipEnd(ZelVector2& end, unsigned code, const ZelVector2& from, const ZelVector2& toward) const;
};

static_assert(sizeof(ZelVector2) == 8);
static_assert(sizeof(ZelClipRgn) == 28);
