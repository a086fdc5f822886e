// The power-of-two scale blits: each names a row of the direction table and
// draws through the shared frame with the transparent copy.

#include "blit/scale.h"

#include "bitmap/blit.h"
#include "blit/scale_frame.h"
#include "blit/zoom_frame.h"

namespace {

void scaled(ScaleTurn turn, int x, int y, HClass<Bitmap> bitmap, unsigned char s)
{
    if (const Bitmap* b = bitmap.get())
        scaleBlit(scaleForm(turn), x, y, *b, s, RowOffsets::ShiftWherePossible, ZoomCopy{});
}

}  // namespace

void bmpZoomImageScale(int x, int y, HClass<Bitmap> bitmap, unsigned char s)
{
    if (s == 16) {
        putImage(x, y, bitmap, 0);
        return;
    }
    scaled(ScaleTurn::None, x, y, bitmap, s);
}

void bmpZoomImageScaleRot90(int x, int y, HClass<Bitmap> bitmap, unsigned char s)
{
    scaled(ScaleTurn::Rot90, x, y, bitmap, s);
}

void bmpZoomImageScaleRot180(int x, int y, HClass<Bitmap> bitmap, unsigned char s)
{
    scaled(ScaleTurn::Rot180, x, y, bitmap, s);
}

void bmpZoomImageScaleRot270(int x, int y, HClass<Bitmap> bitmap, unsigned char s)
{
    scaled(ScaleTurn::Rot270, x, y, bitmap, s);
}

void bmpZoomImageScaleMap(int x, int y, HClass<Bitmap> bitmap, unsigned char s)
{
    bmpZoomImageScale(x, y, bitmap, s);
}

void bmpZoomImageScaleMapRot90(int x, int y, HClass<Bitmap> bitmap, unsigned char s)
{
    scaled(ScaleTurn::MapRot90, x, y, bitmap, s);
}

void bmpZoomImageScaleMapRot180(int x, int y, HClass<Bitmap> bitmap, unsigned char s)
{
    scaled(ScaleTurn::MapRot180, x, y, bitmap, s);
}

void bmpZoomImageScaleMapRot270(int x, int y, HClass<Bitmap> bitmap, unsigned char s)
{
    scaled(ScaleTurn::MapRot270, x, y, bitmap, s);
}
