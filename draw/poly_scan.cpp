// Edge tracers and the unclipped whole-polygon trace into the span buffers.

#include <algorithm>
#include <utility>

#include "draw/edge_rows.h"
#include "draw/edge_walk.h"

#include "draw/poly.h"
#include "draw/poly_trace.h"
#include "platform/cpu_features.h"
#include "video/wrapint.h"

namespace {

// One stored row of a tracer: the window decides which rows are kept; rows
// past the buffer's capacity are never written.
class SpanWriter {
public:
    SpanWriter(unsigned char side, bool withIntensity)
        : columns_(polyBuffer.get()), intensities_(withIntensity ? gouraudBuffer.get() : nullptr),
          slot_(side != 0 ? 1 : 0), ready_(columns_ && (!withIntensity || intensities_)), first_(firstRow()),
          last_(lastRow())
    {
    }

    bool ready() const { return ready_; }

    // The edge rows that can be stored: the window, cut to the buffer.
    static int64_t firstRow() { return polyStartIndex; }
    static int64_t lastRow()
    {
        return std::min<int64_t>(polyStopIndex, static_cast<int64_t>(polyStartIndex) + ZelPolyRows - 1);
    }

    // The window is read once: the stores cannot change it.
    void store(int64_t y, int64_t x, int32_t i = 0) const
    {
        if (y < first_ || y > last_)
            return;
        const int64_t entry = y - first_;
        columns_[entry].side[slot_] = static_cast<int32_t>(x);
        if (intensities_)
            intensities_[entry].side[slot_] = i;
    }

    // The rows of e from row y on, going in direction dir; they all lie in
    // the window.
    void storeRows(int64_t y, int dir, const EdgeRows& e) const
    {
        const int64_t entry = y - first_;
        storeEdgeRowsAvx512(columns_ + entry, intensities_ ? intensities_ + entry : nullptr, slot_, dir, e);
    }

private:
    Point* columns_;
    Point* intensities_;
    int slot_;
    bool ready_;
    int64_t first_, last_;
};

// A side-0 edge starts at its end with the larger x, a side-1 edge at the
// smaller x; with the rounding of each tracer this sends halves outward
// (scanSide) or inward (scanSideGouraud) on both sides.
bool startsAtSecond(unsigned char side, int64_t dx)
{
    return (side != 0 && dx < 0) || (side == 0 && dx > 0);
}

// The intensity n rows after one of intensity i, stepping by step per row;
// it wraps as a 32-bit value, as row-by-row additions would.
int32_t intensityAfter(int32_t i, int32_t step, int64_t n)
{
    return wrapAdd(i, wrapMul(step, static_cast<int32_t>(static_cast<uint32_t>(n))));
}

// A vertical edge stores x1 on rows y1 .. y2 (none when y2 < y1); only the
// rows the window keeps are visited.
void traceVertical(const SpanWriter& out, int32_t x1, int32_t y1, int32_t y2, int32_t i, int32_t step)
{
    const int64_t first = std::max<int64_t>(y1, SpanWriter::firstRow());
    const int64_t last = std::min<int64_t>(y2, SpanWriter::lastRow());
    for (int64_t y = first; y <= last; ++y)
        out.store(y, x1, intensityAfter(i, step, y - y1));
}

struct EdgeEnd {
    int32_t x, y, i;
};

// Walks a sloped edge from start to finish, jumping over the rows the window
// does not keep, so the cost is that of the stored rows. The intensity
// steps by (finish - start) / |dy| per row, truncated.
void traceSloped(const SpanWriter& out, EdgeEnd start, EdgeEnd finish, bool strict)
{
    const int64_t dx = static_cast<int64_t>(finish.x) - start.x;
    const int64_t dy = static_cast<int64_t>(finish.y) - start.y;
    const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const int64_t ay = dy * sy;
    const auto step = static_cast<int32_t>(static_cast<int64_t>(wrapSub(finish.i, start.i)) / ay);

    // Steps n = 0 .. ay reach rows start.y + sy n; keep those in the window.
    const int64_t lo = SpanWriter::firstRow(), hi = SpanWriter::lastRow();
    const int64_t nFirst = sy > 0 ? std::max(lo - start.y, int64_t{0}) : std::max(start.y - hi, int64_t{0});
    const int64_t nLast = sy > 0 ? std::min(hi - start.y, ay) : std::min(start.y - lo, ay);
    if (nFirst > nLast)
        return;
    EdgeWalk walk(dx * sx, ay, strict);
    int64_t x = start.x + sx * walk.skip(nFirst);
    int32_t i = intensityAfter(start.i, step, nFirst);
    int64_t y = start.y + sy * nFirst;
    // On the AVX-512 path the last rows, a multiple of eight, are stored
    // eight at a time.
    int64_t rest = nLast - nFirst;
    const int64_t batched = cpuPathInUse >= CpuPath::Avx512 ? rest - rest % 8 : 0;
    for (;; --rest) {
        out.store(y, x, i);
        if (rest == batched)
            break;
        const int64_t k = walk.next();
        x += sx < 0 ? -k : k;
        i = wrapAdd(i, step);
        y += sy;
    }
    if (batched > 0)
        out.storeRows(y + sy, static_cast<int>(sy),
                      EdgeRows{x, walk.aheadBase(), 2 * dx * sx, 2 * ay, static_cast<int32_t>(sx), i, step,
                               static_cast<int32_t>(batched)});
}

void trace(EdgeEnd a, EdgeEnd b, unsigned char side, bool gouraud)
{
    SpanWriter out(side, gouraud);
    if (!out.ready())
        return;
    if (a.x == b.x) {
        if (!gouraud || b.y == a.y) {
            traceVertical(out, a.x, a.y, b.y, wrapAdd(a.i, b.i) >> 1, 0);
            return;
        }
        const int64_t dy = static_cast<int64_t>(b.y) - a.y;
        traceVertical(out, a.x, a.y, b.y, a.i, static_cast<int32_t>(wrapSub(b.i, a.i) / dy));
        return;
    }
    if (a.y == b.y)
        return;
    if (startsAtSecond(side, static_cast<int64_t>(b.x) - a.x))
        std::swap(a, b);
    traceSloped(out, a, b, gouraud);
}

}  // namespace

void scanSide(int x1, int y1, int x2, int y2, unsigned char side)
{
    trace({x1, y1, 0}, {x2, y2, 0}, side, false);
}

void scanSideGouraud(int x1, int y1, int i1, int x2, int y2, int i2, unsigned char side)
{
    trace({x1, y1, i1}, {x2, y2, i2}, side, true);
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
