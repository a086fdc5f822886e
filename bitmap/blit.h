// 1:1 blits onto the Screen and screen capture.
#pragma once

#include "bitmap/bitmap.h"
#include "video/zelapi.h"

// Mode 2 opaque, otherwise pixels of value 0 are skipped. The bitmap's origin
// point lands on (x, y).
ZELGFX_API void putImage(int x, int y, HClass<Bitmap> bitmap, unsigned char mode);
// The glyph's top-left pixel at (x, y); pixel v drawn as colour + v - 1.
ZELGFX_API void putLetter(int x, int y, HClass<Bitmap> glyph, unsigned char colour);
// Copies the screen rectangle at drawing position (x, y) into reuse when it
// has that pixel count, else into a new bitmap; 65535 without memory.
ZELGFX_API HClass<Bitmap> getImage(int x, int y, int width, int height, HClass<Bitmap> reuse);
