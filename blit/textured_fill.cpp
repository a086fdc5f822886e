// Perspective texture fills over the caller's span lists: wall columns with
// one texture column per screen column (two 64-bit divisions each), floor
// rows with both texture coordinates stepped along the row (four divisions
// per row). The spans are the caller's; each is only cut to the screen buffer,
// which changes nothing for spans that keep to the contract. On the AVX-512
// path walls go sixteen columns at a time row by row, floors sixteen texels
// at a time, both by gathers (wall_columns.h, floor_row.h).

#include "blit/textured_fill.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "blit/floor_row.h"
#include "blit/wall_columns.h"
#include "draw/poly.h"
#include "draw/target.h"
#include "engine/zelmath/zelmath.h"
#include "platform/cpu_features.h"
#include "video/fixed_point.h"
#include "video/palette.h"
#include "video/screen.h"
#include "video/wrapint.h"

namespace {

constexpr int DivisionBits = 22;     // scaledDiv: v x 2^22 / d
constexpr int WallRowFracBits = 8;   // a wall column's texture row, in 24.8
constexpr int QuarterBits = 2;       // the wall's vertical position is in quarter pixels
constexpr int TileBits = 6;          // the floor tile: 64 x 64, stride 64
constexpr uint32_t TileMask = (1u << TileBits) - 1;

// v << n on 32 bits, wrapping (n is at most 31).
int32_t wrapShl(int32_t v, unsigned n)
{
    return static_cast<int32_t>(static_cast<uint32_t>(v) << n);
}

// (v x 2^DivisionBits) / d exactly in 64 bits, truncating, the low 32 bits kept. The
// dividend stays below 2^53 in magnitude, so the quotient cannot overflow.
int32_t scaledDiv(int32_t v, int32_t d)
{
    return static_cast<int32_t>(static_cast<int64_t>(v) * (int64_t{1} << DivisionBits) / d);
}

// What both fills need before drawing: the projection centre in Screen
// coordinates, the projection distance's exponent and the span list.
struct Projection {
    int32_t xs, ys;
    unsigned z;
    const Point* spans;
    int32_t firstEntry, lastEntry;  // the caller's entries cut to the buffer

    // Screen column (side fill) or row (floor fill) of an entry.
    int32_t lineOf(int32_t entry) const { return wrapAdd(polyMinY, wrapSub(entry, polyStartIndex)); }
};

// False outside the contract (no screen or span buffer, no position vector,
// zoomFactor above 31): nothing is drawn then.
bool projectionOf(int x, int y, const int* p, Projection& out)
{
    const DrawTarget t = DrawTarget::screen();
    out.spans = polyBuffer.get();
    if (!t || !out.spans || !p || !videoMemory || !ZelVideo::lineOff || zoomFactor > 31)
        return false;
    out.xs = t.rgn->mapX(x);
    out.ys = t.rgn->mapY(y);
    out.z = zoomFactor;
    out.firstEntry = std::max(polyStartIndex, 0);
    out.lastEntry = std::min(polyStopIndex, ZelPolyRows - 1);
    return true;
}

// Every masked texel offset ((row AND (H - 1)) << widthShift) + (column AND
// (W - 1)) lies inside the pixels. Holds for any bitmap made by
// ZelBitmap::Create with a size of at least 1 x 1.
bool wallTextureAddressable(const Bitmap& t)
{
    if (t.width < 1 || t.height < 1)
        return false;
    const int64_t lastOffset = (static_cast<int64_t>(t.height - 1) << t.widthShift()) + (t.width - 1);
    return lastOffset < static_cast<int64_t>(t.width) * t.height;
}

// One texture column down a screen column, already cut to the screen. tFx is
// the texture row in 24.8, stFx its step per screen row.
struct WallColumn {
    const unsigned char* texels;  // row 0 of the texture column
    unsigned rowShift;
    int32_t rowMask;
    int32_t limit;
};

void drawWallColumn(unsigned char* dst, int32_t rows, int32_t tFx, int32_t stFx, const WallColumn& column)
{
    // A copy in registers: the pixel writes could alias the screen's width
    // and the column's fields.
    const WallColumn w = column;
    const ptrdiff_t stride = scrWidth;
    for (int32_t i = 0; i < rows; ++i, dst += stride) {
        const int32_t tr = tFx >> WallRowFracBits;
        if (tr >= 0 && tr < w.limit) {
            if (const unsigned char v = w.texels[static_cast<ptrdiff_t>(tr & w.rowMask) << w.rowShift])
                *dst = v;
        }
        tFx = wrapAdd(tFx, stFx);
    }
}

// One floor row, already cut to the screen: texture column and row in 22.10,
// wrapping as the 32-bit registers did; the tile is 64 x 64 with stride 64.
void drawFloorRow(unsigned char* dst, int32_t count, uint32_t uFx, uint32_t vFx, uint32_t duFx, uint32_t dvFx,
                  const unsigned char* tile)
{
    for (int32_t i = 0; i < count; ++i) {
        dst[i] = tile[(((vFx >> SourceFracBits) & TileMask) << TileBits) | ((uFx >> SourceFracBits) & TileMask)];
        uFx += duFx;
        vFx += dvFx;
    }
}

}  // namespace

void bmpSideFill(int x, int y, int* const p, HClass<Bitmap> texture, unsigned int angle, unsigned int limit)
{
    const Bitmap* tex = texture.get();
    Projection view;
    if (!tex || !projectionOf(x, y, p, view) || !wallTextureAddressable(*tex))
        return;
    const int32_t c = iCos(static_cast<int>(angle)), s = iSin(static_cast<int>(angle));
    const int32_t px = p[0], py = p[1], pz = p[2];

    // Column dx sees the surface where d = (s f - c dx) / 4 (sine scale)
    // divides the numerators: e = pz dx - px f gives the distance along the
    // surface, k the texture rows per screen row. a and b carry pz dx and
    // (-c / 4) dx from column to column.
    const int32_t k = wrapSub(mulShift(s, wrapMul(4, pz), 20), mulShift(c, wrapMul(4, px), 20));
    const int32_t dBase = wrapShl(s >> 2, view.z);
    const int32_t bStep = wrapSub(0, c) >> 2;
    const int32_t pxFar = wrapShl(px, view.z);
    const int32_t t0Fx = wrapShl(wrapSub(wrapShl(tex->originY, QuarterBits), py), WallRowFracBits - QuarterBits);
    videoStatistics.fillMuls += 2;

    WallColumn wall{nullptr, tex->widthShift(), tex->height - 1, static_cast<int32_t>(limit)};
    // The AVX-512 path draws sixteen neighbouring columns at a time, row by
    // row; the plain path stays column by column, the reference of the batch.
    const bool batched = cpuPathInUse >= CpuPath::Avx512 && int64_t{tex->width} * tex->height < INT32_MAX;
    const WallTexture walls{tex->pixels(), wall.rowShift, wall.rowMask, wall.limit};
    WallBatch batch;
    const auto flush = [&] {
        if (batch.active)
            wallColumnsAvx512(videoMemory, ZelVideo::lineOff, batch, walls);
        batch.active = 0;
    };
    const int32_t colMask = tex->width - 1;
    int32_t col = view.lineOf(view.firstEntry);
    int32_t a = wrapMul(pz, wrapSub(col, view.xs));
    int32_t b = wrapMul(bStep, wrapSub(col, view.xs));
    for (int32_t e = view.firstEntry; e <= view.lastEntry;
         ++e, col = wrapAdd(col, 1), a = wrapAdd(a, pz), b = wrapAdd(b, bStep)) {
        const int32_t d = wrapAdd(dBase, b);
        if (d == 0)
            continue;  // line of sight parallel to the surface
        const int32_t tu = wrapAdd(tex->originX, scaledDiv(wrapSub(a, pxFar), d) >> (DivisionBits - FixedShift));
        const int32_t stFx = scaledDiv(k, d);
        videoStatistics.fillMuls += 3;

        if (col < 0 || col >= scrWidth)
            continue;
        const int32_t from = std::max(view.spans[e].side[0], 0);
        const int32_t to = std::min(view.spans[e].side[1], scrHeight);
        if (to <= from)
            continue;
        const int32_t tFx = wrapAdd(t0Fx, wrapMul(wrapSub(from, view.ys), stFx));
        if (!batched) {
            wall.texels = tex->pixels() + (tu & colMask);
            drawWallColumn(videoMemory + ZelVideo::lineOff[from] + col, to - from, tFx, stFx, wall);
            continue;
        }
        if (batch.active && col - batch.first >= 16)
            flush();
        if (!batch.active)
            batch.first = col;
        const int lane = col - batch.first;
        batch.active |= 1u << lane;
        batch.from[lane] = from;
        batch.to[lane] = to;
        batch.tFx[lane] = tFx;
        batch.stFx[lane] = stFx;
        batch.texel[lane] = tu & colMask;
    }
    flush();
}

void bmpFloorFill(int x, int y, int* const p, HClass<Bitmap> texture, unsigned int angle)
{
    const Bitmap* tex = texture.get();
    Projection view;
    // The tile is read as 64 rows of 64; anything smaller is not read at all.
    if (!tex || !projectionOf(x, y, p, view) || tex->width < 0 || tex->height < 0 ||
        static_cast<int64_t>(tex->width) * tex->height < (1 << TileBits) * (1 << TileBits))
        return;
    const int32_t c = iCos(static_cast<int>(angle)), sn = wrapSub(0, iSin(static_cast<int>(angle)));
    const int32_t px = p[0], py = p[1], pz = p[2];

    const int32_t u0Fx = wrapAdd(mulShift(sn, px, 12), mulShift(c, pz, 12));
    const int32_t v0Fx = wrapSub(mulShift(c, px, 12), mulShift(sn, pz, 12));
    const int32_t pv = mulShift(sn, py, 12), pc = mulShift(c, py, 12);
    const int32_t pcFar = wrapShl(pc, view.z), pvFarNeg = wrapSub(0, wrapShl(pv, view.z));

    for (int32_t e = view.firstEntry; e <= view.lastEntry; ++e) {
        const int32_t row = view.lineOf(e);
        const int32_t dy = wrapSub(row, view.ys);
        if (dy == 0)
            continue;  // the horizon: every division would be by zero
        const int32_t first = view.spans[e].side[0], last = view.spans[e].side[1];
        const int32_t duFx = wrapDiv(pv, dy), dvFx = wrapDiv(pc, dy);
        const int32_t dx0 = wrapSub(first, view.xs);
        int32_t uFx = wrapAdd(wrapAdd(u0Fx, wrapMul(dx0, duFx)), wrapDiv(pcFar, dy));
        int32_t vFx = wrapAdd(wrapAdd(v0Fx, wrapMul(dx0, dvFx)), wrapDiv(pvFarNeg, dy));

        if (row < 0 || row >= scrHeight)
            continue;
        const int32_t from = std::max(first, 0), to = std::min(last, scrWidth - 1);
        if (to < from)
            continue;
        const int32_t skipped = wrapSub(from, first);
        uFx = wrapAdd(uFx, wrapMul(skipped, duFx));
        vFx = wrapAdd(vFx, wrapMul(skipped, dvFx));
        // The plain path stays pixel by pixel: the reference of the gathers.
        (cpuPathInUse >= CpuPath::Avx512 ? floorRowAvx512 : drawFloorRow)(
            videoMemory + ZelVideo::lineOff[row] + from, to - from + 1, static_cast<uint32_t>(uFx),
            static_cast<uint32_t>(vFx), static_cast<uint32_t>(duFx), static_cast<uint32_t>(dvFx), tex->pixels());
    }
}
