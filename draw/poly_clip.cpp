// The clipped polygon pipeline of the Screen: the vertical clip is a window
// of rows for the edge tracer, the horizontal clip clamps each row's ends.
// No vertex is ever made or moved.

#include <algorithm>

#include "draw/poly.h"
#include "draw/poly_trace.h"
#include "draw/target.h"
#include "video/wrapint.h"

namespace {

void emptyResult()
{
    polyMinY = polyMaxY = polyHeight = polyStartIndex = 0;
    polyStopIndex = -1;
}

// A bitmap row clamped into the region: raised to top, then lowered to
// bottom - 1.
int32_t clampRow(const ZelClipRgn& r, int32_t row)
{
    row = std::max(row, r.top);
    return std::min(row, wrapSub(r.bottom, 1));
}

// All vertices on one row trace no edge; the row then spans the vertices.
void storeFlatRow(const Poly& poly)
{
    Point* rows = polyBuffer.get();
    if (!rows || polyStartIndex != 0)
        return;
    const ZelVector2* v = poly.vertices();
    auto [lo, hi] = std::minmax_element(v, v + poly.count, [](auto& a, auto& b) { return a.x < b.x; });
    rows[0].side[0] = lo->x;
    rows[0].side[1] = hi->x;
}

void clipPoly(Poly* poly, bool clockwise)
{
    DrawTarget t = DrawTarget::screen();
    if (!t || !poly || poly->count == 0) {
        emptyResult();
        return;
    }
    const ZelClipRgn& r = *t.rgn;
    // A region without rows or columns shows nothing; the row clamps below
    // would otherwise land on a row just outside it.
    if (r.bottom <= r.top || r.right <= r.left) {
        emptyResult();
        return;
    }
    const PolyExtent ext = polyExtent(*poly);
    const int32_t base = wrapAdd(r.top, r.originY);

    const int32_t topRow = clampRow(r, wrapAdd(base, ext.minY));
    polyStartIndex = wrapSub(wrapSub(topRow, base), ext.minY);
    if (polyStartIndex < 0) {
        emptyResult();
        return;
    }
    const int32_t bottomRow = clampRow(r, wrapAdd(base, ext.maxY));
    polyStopIndex = wrapSub(wrapSub(bottomRow, base), ext.minY);
    if (wrapSub(ext.maxY, ext.minY) < polyStopIndex) {
        emptyResult();
        return;
    }
    if (ext.top != ext.bottom)
        traceChains(*poly, ext, clockwise);
    else
        storeFlatRow(*poly);

    polyMinY = wrapAdd(wrapAdd(base, ext.minY), polyStartIndex);
    polyMaxY = wrapAdd(wrapSub(polyMinY, polyStartIndex), polyStopIndex);
    polyHeight = wrapAdd(wrapSub(polyMaxY, polyMinY), 1);
    polyStopIndex = wrapSub(polyStopIndex, polyStartIndex);
    polyStartIndex = 0;

    Point* rows = polyBuffer.get();
    if (!rows)
        return;
    const int32_t stored = std::min<int32_t>(polyHeight, ZelPolyRows);
    for (int32_t k = 0; k < stored; ++k) {
        rows[k].side[0] = r.clampX(rows[k].side[0]);
        rows[k].side[1] = r.clampX(wrapAdd(rows[k].side[1], 1));
    }
}

}  // namespace

void clipPolyClockwise(Poly* poly)
{
    clipPoly(poly, true);
}

void clipPolyCounterClockwise(Poly* poly)
{
    clipPoly(poly, false);
}

void putPolyClockwise(Poly* poly)
{
    clipPoly(poly, true);
    fillPoly();
}

void putPolyCounterClockwise(Poly* poly)
{
    clipPoly(poly, false);
    fillPoly();
}
