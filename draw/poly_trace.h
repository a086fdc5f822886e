// What the unclipped and the clipped polygon traces share: finding the top
// and bottom vertices, and tracing the two chains between them.
#pragma once

#include <cstdint>

#include "draw/poly.h"

struct PolyExtent {
    int32_t minY;     // y of the top vertex
    int32_t maxY;     // y of the bottom vertex
    uint32_t top;     // among equal y the highest index wins
    uint32_t bottom;
};

// Scans the vertices from the last to the first with strict comparisons.
PolyExtent polyExtent(const Poly& poly);

// Traces the chain walking forward from the top vertex and the one walking
// backward, each edge with its y taken relative to minY. Clockwise: forward
// feeds side 1 and backward side 0; counter-clockwise the other way round.
void traceChains(const Poly& poly, const PolyExtent& extent, bool clockwise);
