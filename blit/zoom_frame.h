// The frame of the zoom blits: placement of the (possibly mirrored) origin
// point, rejection, top/left/right cuts and the row loop with their counting,
// shared by the plain and the shaded forms. The pixel operation decides what
// a sampled source pixel does to the screen.
#pragma once

#include <algorithm>
#include <cstdint>

#include "bitmap/blit.h"
#include "bitmap/bitmap.h"
#include "draw/target.h"
#include "platform/cpu_features.h"
#include "video/palette.h"
#include "video/screen.h"
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

// Draws b scaled with its origin point at drawing position (x, y). Returns
// false when the blit was rejected before drawing (nothing counted).
namespace zoom_detail {

// How many of the samples sx, sx + step, ... come before end, or -1 when the
// walk could wrap past the 32-bit range before reaching end (a step that is
// not positive, or a last sample too close to the top of the range).
inline int64_t samplesBefore(int32_t sx, int32_t end, int32_t step)
{
    if (sx >= end)
        return 0;
    if (step <= 0)
        return -1;
    const int64_t n = (int64_t{end} - sx + step - 1) / step;
    return int64_t{sx} + n * step > INT32_MAX ? -1 : n;
}

}  // namespace zoom_detail

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

    int32_t x0 = mirrorsColumns(M) ? wrapAdd(c.mapX(x), q(wrapMul(wrapSub(b.originX, w - 1), 65536)))
                                   : wrapSub(c.mapX(x), q(wrapMul(b.originX, 65536)));
    int32_t y0 = mirrorsRows(M) ? wrapAdd(c.mapY(y), q(wrapMul(wrapSub(b.originY, h - 1), 65536)))
                                : wrapSub(c.mapY(y), q(wrapMul(b.originY, 65536)));
    const int32_t drawnWidth = static_cast<int32_t>(static_cast<uint32_t>(wrapMul(w, 65536)) / zoom);
    if (wrapAdd(x0, drawnWidth) < c.left || x0 >= c.right)
        return false;

    ZelVideoStatistics& stats = videoStatistics;
    ++stats.zoomCalls;
    int32_t sy = 0, sx0 = 0;
    if (y0 < c.top) {
        sy = wrapMul(wrapSub(c.top, y0), step);
        y0 = c.top;
        ++stats.zoomMuls;
    }
    if (x0 < c.left) {
        sx0 = wrapMul(wrapSub(c.left, x0), step);
        x0 = c.left;
        ++stats.zoomMuls;
    }
    // The plain form tests the right edge per pixel; the mirrored forms settle
    // it once, which gives the same pixels.
    int32_t columnsEnd = wrapMul(w, 65536);
    constexpr bool rightCut = M != ZoomMirror::None;
    if (rightCut && c.right <= wrapAdd(x0, q(wrapSub(columnsEnd, sx0)))) {
        columnsEnd = wrapAdd(sx0, wrapMul(wrapSub(c.right, x0), step));
        ++stats.zoomMuls;
    }

    const int32_t rowsEnd = wrapMul(h, 65536);
    const unsigned char* pixels = b.pixels();
    for (int32_t row = y0; sy < rowsEnd && row < c.bottom; ++row, sy = wrapAdd(sy, step)) {
        ++stats.zoomMuls;
        if (w <= 0)
            continue;
        const int32_t r = mirrorsRows(M) ? h - 1 - (sy >> 16) : sy >> 16;
        const unsigned char* src = pixels + (M == ZoomMirror::None && b.widthShift()
                                                 ? static_cast<ptrdiff_t>(r) << b.widthShift()
                                                 : static_cast<ptrdiff_t>(r) * w);
        unsigned char* dst = videoMemory + ZelVideo::lineOff[row];
        int32_t sx = sx0, col = x0;
        const int32_t right = c.right;  // kept in a register: the pixel writes may alias c
        int64_t n = cpuPathInUse == CpuPath::Plain ? -1 : zoom_detail::samplesBefore(sx, columnsEnd, step);
        if (n < 0) {
            // A walk that wraps goes pixel by pixel, as the registers would;
            // so does the plain path, the reference of the counted walk below.
            if constexpr (rightCut) {
                for (; sx < columnsEnd; ++col, sx = wrapAdd(sx, step))
                    op(dst + col, src[mirrorsColumns(M) ? w - 1 - (sx >> 16) : sx >> 16]);
            } else {
                for (; sx < columnsEnd && col < right; ++col, sx = wrapAdd(sx, step))
                    op(dst + col, src[sx >> 16]);
            }
            continue;
        }
        if constexpr (!rightCut)
            n = std::min<int64_t>(n, std::max<int64_t>(0, int64_t{right} - col));
        unsigned char* out = dst + col;
        for (int64_t k = 0; k < n; ++k, sx += step)
            op(out + k, src[mirrorsColumns(M) ? w - 1 - (sx >> 16) : sx >> 16]);
    }
    return true;
}

// Colour 0 is transparent; every other value is stored unchanged.
struct ZoomCopy {
    void operator()(unsigned char* d, unsigned char p) const
    {
        if (p)
            *d = p;
    }
};
