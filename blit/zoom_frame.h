// The frame of the zoom blits: placement of the (possibly mirrored) origin
// point, rejection, top/left/right cuts and the row loop with their counting,
// shared by the plain and the shaded forms. The pixel operation decides what
// a sampled source pixel does to the screen.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "bitmap/blit.h"
#include "bitmap/bitmap.h"
#include "blit/zoom_rows.h"
#include "draw/target.h"
#include "platform/cpu_features.h"
#include "video/palette.h"
#include "video/screen.h"
#include "video/fixed_point.h"
#include "video/wrapint.h"

enum class ZoomMirror { None, Flip, Inv, InvFlip };

constexpr bool mirrorsColumns(ZoomMirror m)
{
    return m == ZoomMirror::Inv || m == ZoomMirror::InvFlip;
}

constexpr bool mirrorsRows(ZoomMirror m)
{
    return m == ZoomMirror::Flip || m == ZoomMirror::InvFlip;
}

// Colour 0 is transparent; every other value is stored unchanged.
struct ZoomCopy {
    void operator()(unsigned char* d, unsigned char p) const
    {
        if (p)
            *d = p;
    }
};

// Draws b scaled with its origin point at drawing position (x, y). Returns
// false when the blit was rejected before drawing (nothing counted).
// PixelOp: void(unsigned char* screenPixel, unsigned char sourcePixel), called
// for every sampled pixel inside the region (transparency is the op's).
// Rows of a bitmap without width have no pixels to sample.
template <ZoomMirror M, class PixelOp>
bool zoomBlit(int x, int y, const Bitmap& b, unsigned int zoom, PixelOp op)
{
    DrawTarget t = DrawTarget::screen();
    if (!t || zoom == 0 || !videoMemory || !ZelVideo::lineOff)
        return false;
    const ZelClipRgn& c = *t.rgn;
    const int32_t step = static_cast<int32_t>(zoom);
    const int32_t w = b.width, h = b.height;
    auto q = [step](int32_t a) { return wrapDiv(a, step); };

    int32_t x0 = mirrorsColumns(M) ? wrapAdd(c.mapX(x), q(wrapMul(wrapSub(b.originX, w - 1), FixedOne)))
                                   : wrapSub(c.mapX(x), q(wrapMul(b.originX, FixedOne)));
    int32_t y0 = mirrorsRows(M) ? wrapAdd(c.mapY(y), q(wrapMul(wrapSub(b.originY, h - 1), FixedOne)))
                                : wrapSub(c.mapY(y), q(wrapMul(b.originY, FixedOne)));
    const int32_t drawnWidth = static_cast<int32_t>(static_cast<uint32_t>(wrapMul(w, FixedOne)) / zoom);
    if (wrapAdd(x0, drawnWidth) < c.left || x0 >= c.right)
        return false;

    ZelVideoStatistics& stats = videoStatistics;
    ++stats.zoomCalls;
    // Sample positions are exact 16.16 values: a cut far from the region, a
    // step past the 32-bit range or a side of 32768 pixels or more samples
    // only what lies inside the bitmap instead of wrapping.
    const int64_t stepFx = zoom;
    int64_t sy = 0, sx0 = 0;
    if (y0 < c.top) {
        sy = (int64_t{c.top} - y0) * stepFx;
        y0 = c.top;
        ++stats.zoomMuls;
    }
    if (x0 < c.left) {
        sx0 = (int64_t{c.left} - x0) * stepFx;
        x0 = c.left;
        ++stats.zoomMuls;
    }
    // The plain form tests the right edge per pixel; the mirrored forms settle
    // it once, which gives the same pixels.
    int64_t columnsEnd = int64_t{w} * FixedOne;
    constexpr bool rightCut = M != ZoomMirror::None;
    if (rightCut && c.right <= x0 + (columnsEnd - sx0) / stepFx) {
        columnsEnd = sx0 + (int64_t{c.right} - x0) * stepFx;
        ++stats.zoomMuls;
    }

    const int64_t rowsEnd = int64_t{h} * FixedOne;
    const unsigned char* pixels = b.pixels();
    // Every row starts at the same column and samples as many pixels.
    const int64_t columnsLeft = rightCut ? INT64_MAX : int64_t{c.right} - x0;
    const int64_t samples = std::min(samplesBefore(sx0, columnsEnd, stepFx), columnsLeft);
    // The transparent copy on the AVX-512 path takes whole rows by a plan of
    // their columns where the step allows it.
    ZoomPlan plan;
    bool planned = false;
    if constexpr (std::is_same_v<PixelOp, ZoomCopy>)
        planned = cpuPathInUse >= CpuPath::Avx512 && w > 0 && planZoomRows(plan, samples, [&](int64_t k) {
                      const int64_t c = (sx0 + k * stepFx) >> FixedShift;
                      return mirrorsColumns(M) ? w - 1 - c : c;
                  });
    for (int32_t row = y0; sy < rowsEnd && row < c.bottom; ++row, sy += stepFx) {
        ++stats.zoomMuls;
        if (w <= 0)
            continue;
        const int64_t r = mirrorsRows(M) ? h - 1 - (sy >> FixedShift) : sy >> FixedShift;
        const unsigned char* src = pixels + (M == ZoomMirror::None && b.widthShift()
                                                 ? static_cast<ptrdiff_t>(r) << b.widthShift()
                                                 : static_cast<ptrdiff_t>(r) * w);
        auto sample = [&](int64_t sx) { return src[mirrorsColumns(M) ? w - 1 - (sx >> FixedShift) : sx >> FixedShift]; };
        unsigned char* out = videoMemory + ZelVideo::lineOff[row] + x0;
        if (planned) {
            zoomRowAvx512(out, src, plan);
            continue;
        }
        int64_t sx = sx0;
        if (cpuPathInUse == CpuPath::Plain) {
            // Pixel by pixel: the reference of the counted walk below.
            for (int64_t k = 0; sx < columnsEnd && k < columnsLeft; ++k, sx += stepFx)
                op(out + k, sample(sx));
            continue;
        }
        for (int64_t k = 0; k < samples; ++k, sx += stepFx)
            op(out + k, sample(sx));
    }
    return true;
}

