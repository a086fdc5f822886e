// Edge tracers and the unclipped whole-polygon trace into the span buffers.

#include <utility>

#include "draw/poly.h"
#include "draw/poly_trace.h"
#include "video/wrapint.h"

namespace {

int32_t sign(int32_t v)
{
    return v >= 0 ? 1 : -1;
}

int32_t magnitude(int32_t v)
{
    return v >= 0 ? v : wrapSub(0, v);
}

// One stored row of a tracer: the window decides which rows are kept; rows
// past the buffer's capacity are never written.
class SpanWriter {
public:
    SpanWriter(unsigned char side, bool withIntensity)
        : columns_(polyBuffer.get()), intensities_(withIntensity ? gouraudBuffer.get() : nullptr),
          slot_(side != 0 ? 1 : 0), ready_(columns_ && (!withIntensity || intensities_))
    {
    }

    bool ready() const { return ready_; }

    void store(int32_t y, int32_t x, int32_t i = 0) const
    {
        if (y < polyStartIndex || y > polyStopIndex)
            return;
        const int64_t entry = static_cast<int64_t>(y) - polyStartIndex;
        if (entry >= ZelPolyRows)
            return;
        columns_[entry].side[slot_] = x;
        if (intensities_)
            intensities_[entry].side[slot_] = i;
    }

private:
    Point* columns_;
    Point* intensities_;
    int slot_;
    bool ready_;
};

// A side-0 edge starts at its end with the larger x, a side-1 edge at the
// smaller x; with the rounding of each tracer this sends halves outward
// (scanSide) or inward (scanSideGouraud) on both sides.
bool startsAtSecond(unsigned char side, int32_t dx)
{
    return (side != 0 && dx < 0) || (side == 0 && dx > 0);
}

}  // namespace

void scanSide(int x1, int y1, int x2, int y2, unsigned char side)
{
    SpanWriter out(side, false);
    if (!out.ready())
        return;
    const int32_t dx = wrapSub(x2, x1), dy = wrapSub(y2, y1);
    if (dx == 0) {
        for (int64_t y = y1; y <= y2; ++y)
            out.store(static_cast<int32_t>(y), x1);
        return;
    }
    if (dy == 0)
        return;
    const bool swapped = startsAtSecond(side, dx);
    int32_t x = swapped ? x2 : x1, y = swapped ? y2 : y1;
    const int32_t fy = swapped ? y1 : y2;
    const int32_t sx = swapped ? -sign(dx) : sign(dx);
    const int32_t sy = swapped ? -sign(dy) : sign(dy);
    const int32_t ax = magnitude(dx), ay = magnitude(dy);
    int32_t e = wrapSub(wrapMul(2, ax), ay);
    for (;;) {
        out.store(y, x);
        if (y == fy)
            return;
        while (e >= 0) {
            x = wrapAdd(x, sx);
            e = wrapSub(e, wrapMul(2, ay));
        }
        e = wrapAdd(e, wrapMul(2, ax));
        y = wrapAdd(y, sy);
    }
}

void scanSideGouraud(int x1, int y1, int i1, int x2, int y2, int i2, unsigned char side)
{
    SpanWriter out(side, true);
    if (!out.ready())
        return;
    const int32_t dx = wrapSub(x2, x1), dy = wrapSub(y2, y1);
    if (dx == 0) {
        int32_t i = y2 != y1 ? i1 : wrapAdd(i1, i2) >> 1;
        const int32_t step = y2 != y1 ? wrapDiv(wrapSub(i2, i1), dy) : 0;
        for (int64_t y = y1; y <= y2; ++y) {
            out.store(static_cast<int32_t>(y), x1, i);
            i = wrapAdd(i, step);
        }
        return;
    }
    if (dy == 0)
        return;
    const bool swapped = startsAtSecond(side, dx);
    int32_t x = swapped ? x2 : x1, y = swapped ? y2 : y1, i = swapped ? i2 : i1;
    const int32_t fy = swapped ? y1 : y2, fi = swapped ? i1 : i2;
    const int32_t sx = swapped ? -sign(dx) : sign(dx);
    const int32_t sy = swapped ? -sign(dy) : sign(dy);
    const int32_t ax = magnitude(dx), ay = magnitude(dy);
    const int32_t step = wrapDiv(wrapSub(fi, i), ay);
    int32_t e = wrapSub(wrapMul(2, ax), ay);
    for (;;) {
        out.store(y, x, i);
        if (y == fy)
            return;
        while (e > 0) {
            x = wrapAdd(x, sx);
            e = wrapSub(e, wrapMul(2, ay));
        }
        e = wrapAdd(e, wrapMul(2, ax));
        y = wrapAdd(y, sy);
        i = wrapAdd(i, step);
    }
}

PolyExtent polyExtent(const Poly& poly)
{
    PolyExtent ext{INT32_MAX, INT32_MIN, 0, 0};
    const ZelVector2* v = poly.vertices();
    for (uint32_t k = poly.count; k-- > 0;) {
        if (v[k].y < ext.minY) {
            ext.minY = v[k].y;
            ext.top = k;
        }
        if (v[k].y > ext.maxY) {
            ext.maxY = v[k].y;
            ext.bottom = k;
        }
    }
    return ext;
}

namespace {
void traceChain(const Poly& poly, const PolyExtent& ext, bool forward, unsigned char side)
{
    const ZelVector2* v = poly.vertices();
    const uint32_t n = poly.count;
    for (uint32_t k = ext.top; k != ext.bottom;) {
        const uint32_t next = forward ? (k + 1) % n : (k + n - 1) % n;
        scanSide(v[k].x, wrapSub(v[k].y, ext.minY), v[next].x, wrapSub(v[next].y, ext.minY), side);
        k = next;
    }
}
}  // namespace

void traceChains(const Poly& poly, const PolyExtent& ext, bool clockwise)
{
    if (poly.count == 0 || ext.top == ext.bottom)
        return;
    traceChain(poly, ext, clockwise, 1);
    traceChain(poly, ext, !clockwise, 0);
}

void scanPoly(Poly* poly)
{
    if (!poly || poly->count == 0) {
        polyHeight = 0;  // nothing to trace
        return;
    }
    const PolyExtent ext = polyExtent(*poly);
    polyMinY = ext.minY;
    polyMaxY = ext.maxY;
    polyStartIndex = 0;
    polyStopIndex = wrapSub(ext.maxY, ext.minY);
    traceChains(*poly, ext, true);
    polyHeight = wrapSub(ext.maxY, ext.minY);

    Point* rows = polyBuffer.get();
    if (!rows)
        return;
    for (int32_t r = 0; r < polyHeight && r < ZelPolyRows; ++r)
        if (rows[r].side[1] < rows[r].side[0])
            std::swap(rows[r].side[0], rows[r].side[1]);
}
