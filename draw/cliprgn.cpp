// Coordinate mapping, clamping and segment clipping of the clip region.

#include "draw/cliprgn.h"

#include "video/wrapint.h"

ZelVector2 ZelVector2::operator-(const ZelVector2& o) const
{
    return {wrapSub(x, o.x), wrapSub(y, o.y)};
}

// Both interpolations divide first, then multiply, then add, in double
// precision: the order decides the rounding and so the exact pixel.
ZelVector2 ZelVector2::pointAtX(const ZelVector2& p, const ZelVector2& q, int32_t x)
{
    ZelVector2 d = q - p;
    if (d.x == 0)
        return {x, d.y >= 0 ? INT32_MAX : INT32_MIN};
    double t = static_cast<double>(wrapSub(x, p.x)) / d.x;
    return {x, truncToInt32(t * d.y + p.y)};
}

ZelVector2 ZelVector2::pointAtY(const ZelVector2& p, const ZelVector2& q, int32_t y)
{
    ZelVector2 d = q - p;
    if (d.y == 0)
        return {d.x >= 0 ? INT32_MAX : INT32_MIN, y};
    double t = static_cast<double>(wrapSub(y, p.y)) / d.y;
    return {truncToInt32(t * d.x + p.x), y};
}

unsigned ZelClipRgn::outcode(const ZelVector2& p) const
{
    unsigned code = 0;
    if (p.x < left)
        code |= Left;
    else if (p.x >= right)
        code |= Right;
    if (p.y < top)
        code |= Above;
    else if (p.y >= bottom)
        code |= Below;
    return code;
}

// Moves one end point onto the region's edge. Intersections always start from
// the unclipped end being moved (from) toward the other unclipped end. At a
// corner the vertical edge is tried first, then the horizontal one.
bool ZelClipRgn::clipEnd(ZelVector2& end, unsigned code, const ZelVector2& from,
                         const ZelVector2& toward) const
{
    const int32_t lastX = wrapSub(right, 1);
    const int32_t lastY = wrapSub(bottom, 1);
    switch (code) {
    case 0:
        end = from;
        return true;
    case Left:
    case Right:
        end = ZelVector2::pointAtX(from, toward, code == Left ? left : lastX);
        return end.y >= top && end.y <= lastY;
    case Above:
    case Below:
        end = ZelVector2::pointAtY(from, toward, code == Above ? top : lastY);
        return end.x >= left && end.x <= lastX;
    default: {
        const bool isLeft = (code & Left) != 0;
        const bool isAbove = (code & Above) != 0;
        end = ZelVector2::pointAtX(from, toward, isLeft ? left : lastX);
        if (isAbove ? end.y < top : end.y > lastY) {
            end = ZelVector2::pointAtY(from, toward, isAbove ? top : lastY);
            if (isLeft ? end.x < left : end.x > lastX)
                return false;
        }
        return contains(end.x, end.y);
    }
    }
}

bool ZelClipRgn::clipLine(ZelVector2& p1, ZelVector2& p2) const
{
    p1 = {mapX(p1.x), mapY(p1.y)};
    p2 = {mapX(p2.x), mapY(p2.y)};
    // An empty region shows nothing, and the cuts below would put the ends
    // on a row or column just outside it.
    if (right <= left || bottom <= top)
        return false;
    const ZelVector2 a = p1;
    const ZelVector2 b = p2;
    const unsigned c1 = outcode(a);
    const unsigned c2 = outcode(b);
    if (c1 & c2)
        return false;
    return clipEnd(p1, c1, a, b) && clipEnd(p2, c2, b, a);
}
