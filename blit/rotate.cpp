// Free rotation. The turned, scaled rectangle is clipped once as a polygon;
// each visible span is then filled by walking the source in 22.10 fixed
// point. A screen pixel shows the source pixel that its position maps into;
// positions outside the bitmap and colour 0 are transparent.

#include "blit/rotate.h"
#include "blit/rotate_span.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "draw/poly.h"
#include "draw/target.h"
#include "engine/zelmath/zelmath.h"
#include "platform/cpu_features.h"
#include "video/fixed_point.h"
#include "video/palette.h"
#include "video/screen.h"
#include "video/wrapint.h"

namespace {

// A corner's turned offset keeps one bit below the pixel for rounding; a
// step per column is the sine times the zoom, in 22.10.
constexpr int CornerShift = 20 - FixedShift - 1;
constexpr int StepShift = 20 + FixedShift - SourceFracBits;
static_assert(ZelTrigOne == 1 << 20);

// Source position (22.10) of a span's first pixel and its step per column.
struct SourceWalk {
    int32_t uFx, vFx;
    int32_t duFx, dvFx;
};

// Fills one span that is already cut to the screen. Source rows are found by
// a shift for power-of-two widths, else by a multiplication. The bitmap's
// fields are read once: the pixel writes could alias them.
template <bool ShiftRows>
void rotateSpan(unsigned char* dst, int32_t count, SourceWalk w, const Bitmap& src)
{
    const unsigned char* pixels = src.pixels();
    const unsigned shift = src.widthShift();
    const int32_t width = src.width, height = src.height;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t iu = w.uFx >> SourceFracBits, iv = w.vFx >> SourceFracBits;
        const bool inside = static_cast<uint32_t>(iu) < static_cast<uint32_t>(width) &&
                            static_cast<uint32_t>(iv) < static_cast<uint32_t>(height);
        if (inside) {
            ptrdiff_t row;
            if constexpr (ShiftRows)
                row = static_cast<ptrdiff_t>(iv) << shift;
            else
                row = static_cast<ptrdiff_t>(iv) * width;
            if (const unsigned char p = pixels[row + iu])
                dst[i] = p;
        }
        w.uFx = wrapAdd(w.uFx, w.duFx);
        w.vFx = wrapAdd(w.vFx, w.dvFx);
    }
}

// The widest span kernel of the path in use; none for the plain and SSE2
// paths and for an empty bitmap.
RotateSpanFn* wideSpanKernel(const Bitmap& b)
{
    if (b.width <= 0 || b.height <= 0 || cpuPathInUse < CpuPath::Avx2)
        return nullptr;
    return cpuPathInUse >= CpuPath::Avx512 ? rotateSpanAvx512 : rotateSpanAvx2;
}

// A corner (u, v), relative to the origin point, turned and scaled into
// drawing coordinates; the final shift rounds half up.
ZelVector2 turnCorner(int32_t x, int32_t y, int32_t u, int32_t v, int32_t c, int32_t s, int32_t zoom)
{
    const int32_t tx = wrapDiv(wrapAdd(mulShift(u, c, CornerShift), mulShift(v, s, CornerShift)), zoom);
    const int32_t ty = wrapDiv(wrapSub(mulShift(v, c, CornerShift), mulShift(u, s, CornerShift)), zoom);
    return {wrapAdd(x, wrapAdd(tx, 1) >> 1), wrapAdd(y, wrapAdd(ty, 1) >> 1)};
}

}  // namespace

void bmpRotImage(int x, int y, HClass<Bitmap> bitmap, unsigned int angle, int zoom)
{
    const Bitmap* b = bitmap.get();
    if (!b)
        return;
    ZelVideoStatistics& stats = videoStatistics;
    ++stats.rotCalls;
    const DrawTarget t = DrawTarget::screen();
    if (!t || zoom == 0)
        return;

    const int32_t c = iCos(static_cast<int>(angle)), s = iSin(static_cast<int>(angle));
    const int32_t ox = b->originX, oy = b->originY;
    const int32_t right = wrapSub(b->width, ox), bottom = wrapSub(b->height, oy);
    const int32_t left = wrapSub(0, ox), top = wrapSub(0, oy);
    // Clockwise on screen: top-left, top-right, bottom-right, bottom-left.
    PolyOf<4> corners;
    corners.vertex[0] = turnCorner(x, y, left, top, c, s, zoom);
    corners.vertex[1] = turnCorner(x, y, right, top, c, s, zoom);
    corners.vertex[2] = turnCorner(x, y, right, bottom, c, s, zoom);
    corners.vertex[3] = turnCorner(x, y, left, bottom, c, s, zoom);
    // Screen position of the origin point.
    const int32_t originCol = t.rgn->mapX(x), originRow = t.rgn->mapY(y);
    clipPolyClockwise(corners.poly());

    // One screen column moves the source by (du, dv), one screen row by (-dv, du).
    const int32_t duFx = mulShift(c, zoom, StepShift), dvFx = mulShift(s, zoom, StepShift);
    const int32_t dy = wrapSub(polyMinY, originRow);
    int32_t rowUFx = wrapSub(wrapMul(ox, SourceOne), wrapMul(dvFx, dy));
    int32_t rowVFx = wrapAdd(wrapMul(oy, SourceOne), wrapMul(duFx, dy));
    stats.rotMuls += 2;

    const Point* spans = polyBuffer.get();
    if (!spans || !videoMemory || !ZelVideo::lineOff)
        return;
    // Source row offsets by multiplication are counted per pixel.
    const bool mulPerPixel = b->widthShift() == 0;
    const bool shiftRows = !mulPerPixel && (int64_t{1} << b->widthShift()) == b->width;
    const RotateSource source{b->pixels(), b->width, b->height, b->widthShift(), shiftRows};
    RotateSpanFn* const wide = wideSpanKernel(*b);
    // The screen and the count are kept in locals: the pixel stores could
    // otherwise make the compiler fetch them again for every span.
    unsigned char* const memory = videoMemory;
    const int* const offsets = ZelVideo::lineOff;
    const int32_t screenWidth = scrWidth, screenHeight = scrHeight;
    uint32_t muls = 0;
    // The clip leaves polyStartIndex at 0 and stores at most ZelPolyRows rows.
    const int32_t last = std::min(polyStopIndex, ZelPolyRows - 1);
    for (int32_t k = 0; k <= last; ++k) {
        const int32_t first = spans[k].side[0], end = spans[k].side[1];
        const int32_t dx = wrapSub(first, originCol);
        SourceWalk walk{wrapAdd(rowUFx, wrapMul(dx, duFx)), wrapAdd(rowVFx, wrapMul(dx, dvFx)), duFx, dvFx};
        muls += 2;
        rowUFx = wrapSub(rowUFx, dvFx);
        rowVFx = wrapAdd(rowVFx, duFx);
        if (end > first && mulPerPixel)
            muls += static_cast<uint32_t>(end) - static_cast<uint32_t>(first);

        // The clip keeps spans inside the region; a region reaching past the
        // screen must still not lead to writes outside it.
        const int32_t row = wrapAdd(polyMinY, k);
        if (row < 0 || row >= screenHeight)
            continue;
        const int32_t from = std::max(first, 0), to = std::min(end, screenWidth);
        if (to <= from)
            continue;
        const int32_t skipped = wrapSub(from, first);
        walk.uFx = wrapAdd(walk.uFx, wrapMul(skipped, duFx));
        walk.vFx = wrapAdd(walk.vFx, wrapMul(skipped, dvFx));
        unsigned char* dst = memory + offsets[row] + from;
        int32_t count = to - from;
        if (wide) {
            const int32_t done = wide(dst, count, walk.uFx, walk.vFx, duFx, dvFx, source);
            dst += done;
            count -= done;
            walk.uFx = wrapAdd(walk.uFx, wrapMul(done, duFx));
            walk.vFx = wrapAdd(walk.vFx, wrapMul(done, dvFx));
        }
        if (shiftRows)
            rotateSpan<true>(dst, count, walk, *b);
        else
            rotateSpan<false>(dst, count, walk, *b);
    }
    stats.rotMuls += muls;
}
