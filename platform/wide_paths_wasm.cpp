// The AVX2 and AVX-512 kernel entries for WebAssembly, which has neither.
// The files holding those forms are left out of the web build and these
// take their place: each serves the next narrower form, as a kernel without
// a form of its own for a path does. The widest path there is SSE2, so the
// library never chooses them; they keep it whole for rowKernels() and the
// like all the same.

#include "bitmap/wide_rows.h"
#include "blit/floor_row.h"
#include "blit/rotate_span.h"
#include "blit/wall_columns.h"
#include "blit/zoom_rows.h"
#include "draw/edge_rows.h"
#include "draw/gouraud_ramp.h"
#include "draw/ramp_rows.h"
#include "shade/mask_shade.h"
#include "shade/shade_map.h"

constinit const RowKernels avx2RowKernels = {
    [](unsigned char* d, const unsigned char* s, int32_t n) { sse2RowKernels.transparent(d, s, n); },
    [](unsigned char* d, const unsigned char* s, int32_t n, unsigned char colour) {
        sse2RowKernels.glyph(d, s, n, colour);
    },
    [](unsigned char* d, int32_t n, unsigned char mask) { sse2RowKernels.xorSpan(d, n, mask); },
};

void gouraudRampAvx2(unsigned char* p, int32_t n, int32_t i, int32_t step, bool liftFirst, unsigned char base)
{
    gouraudRampSse2(p, n, i, step, liftFirst, base);
}

// Draws none of the span: the caller's plain span draws all of it.
int32_t rotateSpanAvx2(unsigned char*, int32_t, int32_t, int32_t, int32_t, int32_t, const RotateSource&)
{
    return 0;
}
int32_t rotateSpanAvx512(unsigned char*, int32_t, int32_t, int32_t, int32_t, int32_t, const RotateSource&)
{
    return 0;
}

void mapRowAvx512(unsigned char* d, const unsigned char* s, int32_t n, const unsigned char* map)
{
    for (int32_t i = 0; i < n; ++i)
        d[i] = map[s[i]];
}

void mapOpaqueRowAvx512(unsigned char* d, const unsigned char* s, int32_t n, const unsigned char* map)
{
    for (int32_t i = 0; i < n; ++i)
        if (s[i])
            d[i] = map[s[i]];
}

constinit const RowKernels avx512RowKernels = {
    [](unsigned char* d, const unsigned char* s, int32_t n) { sse2RowKernels.transparent(d, s, n); },
    [](unsigned char* d, const unsigned char* s, int32_t n, unsigned char colour) {
        sse2RowKernels.glyph(d, s, n, colour);
    },
    [](unsigned char* d, int32_t n, unsigned char mask) { sse2RowKernels.xorSpan(d, n, mask); },
};

// Never called: the plan is made only on the AVX-512 path.
void zoomRowAvx512(unsigned char*, const unsigned char*, const ZoomPlan&) {}

// Never called: the floor fill takes it only on the AVX-512 path.
void floorRowAvx512(unsigned char*, int32_t, uint32_t, uint32_t, uint32_t, uint32_t, const unsigned char*) {}

// Never called: the side fill batches columns only on the AVX-512 path.
void wallColumnsAvx512(unsigned char*, const int32_t*, const WallBatch&, const WallTexture&) {}

// Never called: the blocks are taken only on the AVX-512 path.
void transparentBlockAvx512(unsigned char*, ptrdiff_t, const unsigned char*, ptrdiff_t, int32_t, int32_t) {}
void copyBlockAvx512(unsigned char*, ptrdiff_t, const unsigned char*, ptrdiff_t, int32_t, int32_t) {}
void glyphBlockAvx512(unsigned char*, ptrdiff_t, const unsigned char*, ptrdiff_t, int32_t, int32_t, unsigned char) {}

// Never called: the mask blit gathers only on the AVX-512 path.
void shadeByMaskAvx512(unsigned char*, const unsigned char*, int32_t, const unsigned char*, const unsigned char*) {}

// Never called: the Gouraud fill batches its rows only on the AVX-512 path.
void gouraudRampsAvx512(const RampRow*, int32_t, unsigned char) {}

// Never called: the edge tracer stores rows in blocks only on the AVX-512 path.
void storeEdgeRowsAvx512(Point*, Point*, int, int, const EdgeRows&) {}
