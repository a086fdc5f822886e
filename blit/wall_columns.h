// Sixteen neighbouring wall columns drawn row by row with AVX-512 gathers,
// instead of each column down the screen: the writes of a row go out as one
// masked store.
#pragma once

#include <cstdint>

// The columns first .. first + 15 of a wall, each with its own rows, start
// and step; lanes whose bit in active is clear draw nothing.
struct WallBatch {
    int32_t first = 0;       // screen column of lane 0
    uint32_t active = 0;     // lanes with a column to draw
    int32_t from[16], to[16];  // rows [from, to) on the screen
    int32_t tFx[16];         // texture row in 24.8 on row from
    int32_t stFx[16];        // its step per screen row
    int32_t texel[16];       // offset of the column's texel in texture row 0
};

// The texture: texel (row r, column offset t) is pixels[((r & rowMask) <<
// rowShift) + t]; rows r = tFx >> 8 outside [0, limit) and texel 0 leave the
// screen alone. The three bytes before pixels must be readable (the bitmap's
// record lies there).
struct WallTexture {
    const unsigned char* pixels;
    unsigned rowShift;
    int32_t rowMask;
    int32_t limit;
};

// Draws the batch's rows top to bottom into the screen whose row y starts
// at screen + lineOff[y]. Texel offsets must stay below 2^31. Only for CPUs
// with AVX-512 BW and VL.
void wallColumnsAvx512(unsigned char* screen, const int32_t* lineOff, const WallBatch& batch, const WallTexture& tex);
