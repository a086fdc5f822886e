// Sprite blits at a power-of-two scale, unturned or turned clockwise by a
// quarter, half or three-quarter turn, colour 0 transparent. The step through
// the source is 2^s in 16.16 (16 is 1:1, 15 doubles, 17 halves); s runs from
// 0 to 30.
#pragma once

#include "bitmap/bitmap.h"
#include "video/zelapi.h"

// The bitmap's origin point, scaled and turned with it, lands on (x, y). At
// s = 16 the unturned form is putImage in mode 0 and counts nothing.
ZELGFX_API void bmpZoomImageScale(int x, int y, HClass<Bitmap> bitmap, unsigned char s);
ZELGFX_API void bmpZoomImageScaleRot90(int x, int y, HClass<Bitmap> bitmap, unsigned char s);
ZELGFX_API void bmpZoomImageScaleRot180(int x, int y, HClass<Bitmap> bitmap, unsigned char s);
ZELGFX_API void bmpZoomImageScaleRot270(int x, int y, HClass<Bitmap> bitmap, unsigned char s);

// Map forms: the turned footprint's top-left corner lands on (x, y) and the
// origin point is ignored; sampling along a reversed axis is aligned with the
// bitmap's far edge. The unturned map form is bmpZoomImageScale.
ZELGFX_API void bmpZoomImageScaleMap(int x, int y, HClass<Bitmap> bitmap, unsigned char s);
ZELGFX_API void bmpZoomImageScaleMapRot90(int x, int y, HClass<Bitmap> bitmap, unsigned char s);
ZELGFX_API void bmpZoomImageScaleMapRot180(int x, int y, HClass<Bitmap> bitmap, unsigned char s);
ZELGFX_API void bmpZoomImageScaleMapRot270(int x, int y, HClass<Bitmap> bitmap, unsigned char s);
