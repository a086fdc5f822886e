// The four zoom blits and the scaled aggregate piece.

#include "blit/zoom.h"

#include <cstring>

#include "blit/zoom_frame.h"
#include "video/fixed_point.h"

void bmpZoomImage(int x, int y, HClass<Bitmap> bitmap, unsigned int zoom)
{
    const Bitmap* b = bitmap.get();
    if (!b)
        return;
    if (zoom == FixedOne) {
        putImage(x, y, bitmap, 0);
        return;
    }
    zoomBlit<ZoomMirror::None>(x, y, *b, zoom, ZoomCopy{});
}

void bmpZoomFlipImage(int x, int y, HClass<Bitmap> bitmap, unsigned int zoom)
{
    if (const Bitmap* b = bitmap.get())
        zoomBlit<ZoomMirror::Flip>(x, y, *b, zoom, ZoomCopy{});
}

void bmpZoomInvImage(int x, int y, HClass<Bitmap> bitmap, unsigned int zoom)
{
    if (const Bitmap* b = bitmap.get())
        zoomBlit<ZoomMirror::Inv>(x, y, *b, zoom, ZoomCopy{});
}

void bmpZoomInvFlipImage(int x, int y, HClass<Bitmap> bitmap, unsigned int zoom)
{
    if (const Bitmap* b = bitmap.get())
        zoomBlit<ZoomMirror::InvFlip>(x, y, *b, zoom, ZoomCopy{});
}

// The piece is copied into a temporary bitmap with the source's header so
// that it is drawn exactly as a whole bitmap would be.
void ZelBitmap::PutAggregateScale(int x, int y, int offset, int rows, HClass<Bitmap> bitmap, int zoom)
{
    const Bitmap* b = bitmap.get();
    if (!b || rows < 0)
        return;
    rows = b->rowsWithin(offset, rows);
    const int64_t bytes = static_cast<int64_t>(b->width) * rows;
    if (b->width < 0 || bytes + static_cast<int64_t>(sizeof(Bitmap)) > INT32_MAX)
        return;
    HClass<Bitmap> piece;
    piece.alloc(static_cast<unsigned>(bytes + static_cast<int64_t>(sizeof(Bitmap))));
    b = bitmap.get();  // the allocation may have moved it
    Bitmap* p = piece.get();
    if (!p)
        return;
    p->width = b->width;
    p->height = rows;
    p->originX = b->originX;
    p->originY = b->originY;
    p->flags = static_cast<uint16_t>(b->widthShift());
    p->attachment = HAny<void>();
    std::memcpy(p->pixels(), b->pixels() + offset, static_cast<size_t>(bytes));
    bmpZoomImage(x, y, piece, static_cast<unsigned int>(zoom));
    piece.release();
}
