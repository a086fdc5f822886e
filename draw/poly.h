// Polygons: the per-row span buffers and the window of rows the edge tracers
// store.
#pragma once

#include <cstdint>

#include "video/handles.h"
#include "video/zelapi.h"

// One span-buffer entry: side 0 and side 1 of a row (columns, or intensities
// in 16.16 fixed point in the Gouraud buffer).
struct Point {
    int32_t side[2];
};
static_assert(sizeof(Point) == 8);

constexpr int ZelPolyRows = 768;
constexpr unsigned ZelPolyBufferBytes = ZelPolyRows * sizeof(Point);

ZELGFX_API extern HClass<Point> polyBuffer;
ZELGFX_API extern HClass<Point> gouraudBuffer;
ZELGFX_API extern int32_t polyMinY;
ZELGFX_API extern int32_t polyMaxY;
ZELGFX_API extern int32_t polyMinX;
ZELGFX_API extern int32_t polyMaxX;
ZELGFX_API extern int32_t polyHeight;
ZELGFX_API extern int32_t polyStartIndex;
ZELGFX_API extern int32_t polyStopIndex;
