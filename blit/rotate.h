// Free rotation: a bitmap turned by any angle and scaled about its origin
// point onto the Screen, colour 0 transparent.
#pragma once

#include "bitmap/bitmap.h"
#include "video/zelapi.h"

// angle goes unchanged to iSin/iCos (65536 units per turn); a positive sine
// turns the picture anticlockwise on the screen, so angle 16384 shows the top
// row as the left column read bottom to top. zoom is a 16.16 step of source
// pixels per screen pixel: 65536 is 1:1, 131072 half size, 32768 double.
// Counts rotCalls and rotMuls. zoom 0 lies outside the contract: the call is
// counted and nothing is drawn. Overwrites the span buffer and its globals.
ZELGFX_API void bmpRotImage(int x, int y, HClass<Bitmap> bitmap, unsigned int angle, int zoom);
