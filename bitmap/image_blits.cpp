// The 1:1 blits: onto the Screen, into any bitmap, and back from the screen.
// Each is a placement plus a row operation over the common frame.

#include "bitmap/blit.h"

#include "bitmap/blit_frame.h"
#include "draw/target.h"
#include "video/screen.h"
#include "video/fixed_point.h"
#include "video/wrapint.h"

namespace {

// Draws a source with its top-left pixel at drawing position (px, py).
template <class RowOp>
void toScreen(const unsigned char* src, int32_t stride, int32_t px, int32_t py, int32_t w, int32_t h, RowOp op)
{
    BlitJob job;
    if (screenJob(src, stride, px, py, w, h, job))
        runBlit(job, op);
}

}  // namespace

void putImage(int x, int y, HClass<Bitmap> bitmap, unsigned char mode)
{
    const Bitmap* b = bitmap.get();
    if (!b)
        return;
    const int32_t px = wrapSub(x, b->originX), py = wrapSub(y, b->originY);
    BlitJob job;
    if (!screenJob(b->pixels(), b->width, px, py, b->width, b->height, job))
        return;
    if (!(mode & 2)) {
        runBlit(job, TransparentRows{});
        return;
    }
    // Full-width rows follow each other without a gap in both buffers: one
    // block copy does them all.
    if (job.width == scrWidth && b->width == scrWidth) {
        std::memcpy(job.dst, job.src, static_cast<size_t>(job.width) * static_cast<size_t>(job.rows));
        return;
    }
    runBlit(job, OpaqueRows{});
}

void putGlyph(const DrawTarget& target, int32_t x, int32_t y, const Bitmap& glyph, unsigned char colour)
{
    BlitJob job;
    if (screenJob(target, glyph.pixels(), glyph.width, x, y, glyph.width, glyph.height, job))
        runBlit(job, GlyphRows{colour});
}

void putLetter(int x, int y, HClass<Bitmap> glyph, unsigned char colour)
{
    if (const Bitmap* g = glyph.get())
        putGlyph(DrawTarget::screen(), x, y, *g, colour);
}

void ZelBitmap::PutAggregate(int x, int y, int offset, int rows, HClass<Bitmap> bitmap, unsigned char mode)
{
    const Bitmap* b = bitmap.get();
    if (!b)
        return;
    const int32_t px = wrapSub(x, b->originX), py = wrapSub(y, b->originY);
    rows = b->rowsWithin(offset, rows);
    if (rows == 0)
        return;
    const unsigned char* piece = b->pixels() + offset;
    if (mode & 1)
        toScreen(piece, b->width, px, py, b->width, rows, TransparentRows{});
    else
        toScreen(piece, b->width, px, py, b->width, rows, OpaqueRows{});
}

void ZelBitmap::put(const ZelVector2& pos, unsigned char mode, HClass<ZelBitmap> target) const
{
    Bitmap* t = target.get();
    if (!t)
        return;
    const ZelClipRgn c = regionOf(*t);
    ClippedRect cut;
    if (!clipRect(c, wrapSub(pos.x, originX), wrapSub(pos.y, originY), width, height, cut))
        return;
    const BlitJob job{t->pixelAt(cut.left, cut.top), t->width,
                      pixels() + static_cast<ptrdiff_t>(cut.srcRow) * width + cut.srcColumn, width,
                      cut.width(), cut.rows()};
    if (mode & 1)
        runBlit(job, TransparentRows{});
    else
        runBlit(job, OpaqueRows{});
}

HClass<Bitmap> getImage(int x, int y, int width, int height, HClass<Bitmap> reuse)
{
    const Bitmap* old = reuse.get();
    const bool fits = old && static_cast<int64_t>(old->width) * old->height == static_cast<int64_t>(width) * height;
    if (!fits) {
        reuse.release();
        const int64_t bytes = static_cast<int64_t>(sizeof(Bitmap)) + static_cast<int64_t>(width) * height;
        if (width < 0 || height < 0 || bytes > INT32_MAX)
            return {};
        reuse.alloc(static_cast<unsigned>(bytes));
        Bitmap* fresh = reuse.get();
        if (!fresh)
            return {};
        ZelMem::SetPtrData(fresh, "ZelBitmap (getImage)");
        fresh->width = width;
        fresh->height = height;
        fresh->originX = fresh->originY = 0;
        fresh->flags = 0;
        fresh->setWidthShift(width);
        fresh->attachment = HAny<void>();
    }
    Bitmap* b = reuse.get();
    DrawTarget t = DrawTarget::screen();
    ClippedRect cut;
    if (!t || !videoMemory || !ZelVideo::lineOff || !clipRect(*t.rgn, x, y, width, height, cut))
        return reuse;
    const BlitJob job{b->pixels() + static_cast<ptrdiff_t>(cut.srcRow) * width + cut.srcColumn, width,
                      videoMemory + ZelVideo::lineOff[cut.top] + cut.left, scrWidth, cut.width(), cut.rows()};
    runBlit(job, OpaqueRows{});
    return reuse;
}

// Scaled, transparent, into any bitmap. Target rows are the target's width
// apart; the row-span table, when attached, skips each row's transparent ends.
void ZelBitmap::zoom(const ZelVector2& pos, unsigned int scale, HClass<ZelBitmap> target) const
{
    if (scale == FixedOne) {
        put(pos, 1, target);
        return;
    }
    Bitmap* t = target.get();
    if (!t || scale == 0 || width <= 0)
        return;
    const ZelClipRgn c = regionOf(*t);
    const int32_t step = static_cast<int32_t>(scale);
    auto q = [step](int32_t v) { return wrapDiv(wrapMul(v, FixedOne), step); };
    int32_t x0 = wrapSub(c.mapX(pos.x), q(originX));
    int32_t y0 = wrapSub(c.mapY(pos.y), q(originY));
    if (wrapAdd(x0, q(width)) < c.left || x0 >= c.right)
        return;
    // Sample positions are exact 16.16 values, as in the zoom blits.
    const int64_t stepFx = scale;
    int64_t sy = 0, sx0 = 0;
    if (y0 < c.top) {
        sy = (int64_t{c.top} - y0) * stepFx;
        y0 = c.top;
    }
    if (x0 < c.left) {
        sx0 = (int64_t{c.left} - x0) * stepFx;
        x0 = c.left;
    }
    const RowSpan* spans = attachKind() == AttachRowSpans && attachment.isPresent()
                               ? HSimple<RowSpan>(attachment).get() : nullptr;
    const int64_t rowsEnd = int64_t{height} * FixedOne;
    for (int32_t y = y0; sy < rowsEnd && y < c.bottom; ++y, sy += stepFx) {
        const int64_t r = sy >> FixedShift;
        const unsigned char* row = pixels() + (widthShift() ? static_cast<ptrdiff_t>(r) << widthShift()
                                                            : static_cast<ptrdiff_t>(r) * width);
        unsigned char* out = t->pixels() + static_cast<ptrdiff_t>(y) * t->width;
        int64_t sx = sx0, x = x0, end = int64_t{width} * FixedOne;
        if (spans) {
            // The transparent ends are skipped in one step each.
            end = (int64_t{width} - spans[r].trail) * FixedOne;
            const int64_t lead = samplesBefore(sx, int64_t{spans[r].lead} * FixedOne, stepFx);
            sx += lead * stepFx;
            x += lead;
        }
        for (; sx < end && x < c.right; ++x, sx += stepFx)
            if (const unsigned char p = row[sx >> FixedShift])
                out[x] = p;
    }
}
