// Scaled sprite blits onto the Screen: a 16.16 step of source pixels per
// screen pixel, colour 0 transparent, the origin point (mirrored with the
// image) on (x, y).
#pragma once

#include "bitmap/bitmap.h"
#include "video/zelapi.h"

ZELGFX_API void bmpZoomImage(int x, int y, HClass<Bitmap> bitmap, unsigned int zoom);
ZELGFX_API void bmpZoomFlipImage(int x, int y, HClass<Bitmap> bitmap, unsigned int zoom);     // upside down
ZELGFX_API void bmpZoomInvImage(int x, int y, HClass<Bitmap> bitmap, unsigned int zoom);      // left-right
ZELGFX_API void bmpZoomInvFlipImage(int x, int y, HClass<Bitmap> bitmap, unsigned int zoom);  // half turn
