// The frame shared by every 1:1 blit: placing a source rectangle at a drawing
// position, clipping it once against a region, and running a row operation
// over the clipped rows. Row operations see only pointers and a width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "bitmap/bitmap.h"
#include "bitmap/wide_rows.h"
#include "draw/cliprgn.h"
#include "video/short_rows.h"
#include "video/wrapint.h"

struct DrawTarget;

// A clipped 1:1 copy: rows x width pixels from src to dst.
struct BlitJob {
    unsigned char* dst;
    ptrdiff_t dstStride;
    const unsigned char* src;
    ptrdiff_t srcStride;
    int32_t width;
    int32_t rows;
};

// The visible part of a w x h rectangle whose top-left pixel is at drawing
// position (px, py): target columns [left, right) and rows [top, bottom), and
// the source column and row that land on (left, top).
struct ClippedRect {
    int32_t left, top, right, bottom;
    int32_t srcColumn, srcRow;

    int32_t width() const { return right - left; }
    int32_t rows() const { return bottom - top; }
};

// False when nothing of the rectangle is visible. Inline: every sprite and
// glyph is clipped here.
inline bool clipRect(const ZelClipRgn& c, int32_t px, int32_t py, int32_t w, int32_t h, ClippedRect& out)
{
    out.left = c.clampX(px);
    out.top = c.clampY(py);
    out.right = c.clampX(wrapAdd(px, w));
    out.bottom = c.clampY(wrapAdd(py, h));
    if (out.right <= out.left || out.bottom <= out.top)
        return false;
    out.srcColumn = wrapSub(out.left, c.mapX(px));
    out.srcRow = wrapSub(out.top, c.mapY(py));
    return true;
}

// The region a member blit clips against: the target's top clip region when
// it has one, else the whole target.
ZelClipRgn regionOf(const Bitmap& target);

// Row operations. Rows of at least WideRowMin pixels go to the kernels of
// the CPU path in use, looked up once per blit; narrower ones, such as most
// glyph rows, stay in the byte loop, which costs less than the call.
constexpr int32_t WideRowMin = 16;

// On the AVX-512 path the opaque, transparent and glyph copies take the
// blit's rows as one block (BlockForm below).
struct OpaqueRows {
    void operator()(unsigned char* d, const unsigned char* s, int32_t n) const
    {
        copyRow(d, s, static_cast<size_t>(n));
    }
    void block(const BlitJob& j) const { copyBlockAvx512(j.dst, j.dstStride, j.src, j.srcStride, j.width, j.rows); }
};

struct TransparentRows {
    TransparentRowFn* wide = rowKernelsInUse().transparent;
    void block(const BlitJob& j) const
    {
        transparentBlockAvx512(j.dst, j.dstStride, j.src, j.srcStride, j.width, j.rows);
    }
    void operator()(unsigned char* d, const unsigned char* s, int32_t n) const
    {
        if (n >= WideRowMin) {
            wide(d, s, n);
            return;
        }
        for (int32_t i = 0; i < n; ++i)
            if (s[i])
                d[i] = s[i];
    }
};

// Glyph pixel v is written as colour + v - 1; 0 stays transparent.
struct GlyphRows {
    unsigned char colour;
    GlyphRowFn* wide = rowKernelsInUse().glyph;
    void block(const BlitJob& j) const
    {
        glyphBlockAvx512(j.dst, j.dstStride, j.src, j.srcStride, j.width, j.rows, colour);
    }
    void operator()(unsigned char* d, const unsigned char* s, int32_t n) const
    {
        if (n >= WideRowMin) {
            wide(d, s, n, colour);
            return;
        }
        // Glyph shapes make the zero test a coin toss for a branch, so the
        // pixel is chosen by a mask.
        const unsigned char shift = static_cast<unsigned char>(colour - 1);
        for (int32_t i = 0; i < n; ++i) {
            const unsigned char keep = static_cast<unsigned char>(0u - (s[i] == 0));
            d[i] = static_cast<unsigned char>((d[i] & keep) | ((s[i] + shift) & ~keep));
        }
    }
};

// A row op with a block form for the AVX-512 path.
template <class RowOp>
concept BlockForm = requires(const RowOp op, const BlitJob& job) { op.block(job); };

template <class RowOp> void runBlit(const BlitJob& job, RowOp op)
{
    if constexpr (BlockForm<RowOp>)
        if (cpuPathInUse >= CpuPath::Avx512) {
            op.block(job);
            return;
        }
    unsigned char* d = job.dst;
    const unsigned char* s = job.src;
    for (int32_t y = 0; y < job.rows; ++y, d += job.dstStride, s += job.srcStride)
        op(d, s, job.width);
}

// The job of drawing a source (pixels with the given row stride, top-left
// pixel at drawing position px, py, w x h) onto the Screen's buffer through
// the Screen's region. False when nothing is visible or there is no screen.
bool screenJob(const unsigned char* src, ptrdiff_t srcStride, int32_t px, int32_t py, int32_t w,
               int32_t h, BlitJob& job);
// The same through a target the caller resolved, for callers that draw many
// pieces in one go without allocating in between.
bool screenJob(const DrawTarget& target, const unsigned char* src, ptrdiff_t srcStride, int32_t px, int32_t py,
               int32_t w, int32_t h, BlitJob& job);

// putLetter through a resolved target: the glyph's top-left pixel at (x, y).
void putGlyph(const DrawTarget& target, int32_t x, int32_t y, const Bitmap& glyph, unsigned char colour);
