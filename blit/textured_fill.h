// Perspective texture fills over spans the caller has put into the span
// buffer (polyBuffer, polyMinY, polyStartIndex, polyStopIndex): wall columns
// and floor or ceiling rows, seen from a projection centre at distance
// 2^zoomFactor pixels. The spans are trusted as the caller prepared them, but
// cut to the screen buffer, and only entries inside the buffer are read.
// Outside the contract (zoomFactor above 31, p null, a floor texture of fewer
// than 64 x 64 pixels) nothing is drawn or counted.
#pragma once

#include "bitmap/bitmap.h"
#include "video/zelapi.h"

// A vertical surface over screen columns: entry k is column polyMinY + k with
// the half-open row range [side 0, side 1). (x, y) is the projection centre in
// drawing coordinates; p = {px, py, pz} in quarter texels: the surface runs
// through the view point (px, pz) in the direction (sin, cos) of angle, with
// texture column originX at that point; the eye's row shows texture row
// originY - py / 4. Texture rows outside [0, limit) stay transparent, as does
// colour 0. The texture's width and height must be powers of two; it repeats
// in both directions. Columns whose line of sight runs parallel to the surface
// are skipped. Counts fillMuls.
ZELGFX_API void bmpSideFill(int x, int y, int* const p, HClass<Bitmap> texture, unsigned int angle,
                            unsigned int limit);

// A horizontal plane over screen rows: entry k is row polyMinY + k from
// column side 0 to column side 1, both included. The plane lies py quarter
// texels below the eye (above it when py is negative); (px, pz) shifts the
// view across and ahead before the turn by angle. The texture is a 64 x 64
// tile with row stride 64, repeated without end and drawn opaque (texel 0
// too). The projection centre's own row is skipped. Counts nothing.
ZELGFX_API void bmpFloorFill(int x, int y, int* const p, HClass<Bitmap> texture, unsigned int angle);
