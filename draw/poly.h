// Convex polygons: the vertex record, the per-row span buffers with the
// window of rows the edge tracers store, the tracers, the fills and the
// clipped pipeline of the Screen.
#pragma once

#include <cstdint>

#include "draw/cliprgn.h"
#include "video/handles.h"
#include "video/zelapi.h"

// One span-buffer entry: side 0 and side 1 of a row (columns, or intensities
// in 16.16 fixed point in the Gouraud buffer).
struct Point {
    int32_t side[2];
};
static_assert(sizeof(Point) == 8);

// A polygon: count vertices follow the count in the same block. PolyOf<N>
// builds one on the stack.
struct Poly {
    uint32_t count;
    const ZelVector2* vertices() const
    {
        return reinterpret_cast<const ZelVector2*>(reinterpret_cast<const char*>(this) + sizeof(uint32_t));
    }
};

template <uint32_t N> struct PolyOf {
    uint32_t count = N;
    ZelVector2 vertex[N];
    Poly* poly() { return reinterpret_cast<Poly*>(this); }
};

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

// Edge tracers: store an edge's column (and intensity) for each of its rows
// inside the window polyStartIndex .. polyStopIndex into slot side.
ZELGFX_API void scanSide(int x1, int y1, int x2, int y2, unsigned char side);
ZELGFX_API void scanSideGouraud(int x1, int y1, int i1, int x2, int y2, int i2, unsigned char side);
// Traces a whole convex polygon unclipped and orders every row's ends.
ZELGFX_API void scanPoly(Poly* poly);
// Fills the rows polyMinY .. polyMinY + polyHeight - 1 of the screen buffer.
ZELGFX_API void fillPoly();
ZELGFX_API void fillPolyGouraud();
ZELGFX_API void fillPolyGouraudEnh();

// The clipped pipeline: the polygon in drawing coordinates becomes visible
// half-open bitmap spans, then (put*) a flat fill in defaultColor.
ZELGFX_API void clipPolyClockwise(Poly* poly);
ZELGFX_API void clipPolyCounterClockwise(Poly* poly);
ZELGFX_API void putPolyClockwise(Poly* poly);
ZELGFX_API void putPolyCounterClockwise(Poly* poly);
