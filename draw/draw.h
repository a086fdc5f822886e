// Solid and XOR primitives on the Screen: runs, lines, bars, rectangle
// outlines and bevelled boxes, clipped to the current clip region.
#pragma once

#include "bitmap/bitmap.h"
#include "draw/cliprgn.h"
#include "video/zelapi.h"

ZELGFX_API void putVLine(int x, int y, int length, unsigned char colour);
ZELGFX_API void putHLine(int x, int y, int length, unsigned char colour);
ZELGFX_API void putLine(int x1, int y1, int x2, int y2, unsigned char colour);
// From (currentXPos, currentYPos) in defaultColor; moves the current position.
ZELGFX_API void putLineTo(int x, int y);
ZELGFX_API void putBar(int x, int y, int width, int height, unsigned char colour);
ZELGFX_API void putRectangle(int x, int y, int width, int height, unsigned char colour);
// Bevelled panel in the box colours; style 0 raised, 1 sunken, 2 double
// raised, 3 pressed.
ZELGFX_API void putBox(int x, int y, int width, int height, unsigned char style);

ZELGFX_API void putXorVLine(int x, int y, int length, unsigned char mask);
ZELGFX_API void putXorHLine(int x, int y, int length, unsigned char mask);
ZELGFX_API void putXorBar(int x, int y, int width, int height, unsigned char mask);
ZELGFX_API void putXorRectangle(int x, int y, int width, int height, unsigned char mask);

// Box colours.
constexpr unsigned char ZelBoxFace = 24;
constexpr unsigned char ZelBoxLight = 31;
constexpr unsigned char ZelBoxShadow = 8;

// Solid figures on any bitmap, clipped against that bitmap's top region.
ZELGFX_API void vRun(ZelVector2 start, int length, unsigned char colour, Bitmap& bitmap);
ZELGFX_API void hRun(ZelVector2 start, int length, unsigned char colour, Bitmap& bitmap);
ZELGFX_API void fillRect(ZelVector2 pos, ZelVector2 size, unsigned char colour, Bitmap& bitmap);
ZELGFX_API void frameRect(ZelVector2 pos, ZelVector2 size, unsigned char colour, Bitmap& bitmap);
