// Pixel operations of the run and line walkers: what happens to each pixel
// (and to each horizontal span) of a figure whose geometry is already
// clipped. The walkers never know which operation they drive.
#pragma once

#include <cstring>

#include "bitmap/wide_rows.h"
#include "video/short_rows.h"

// Stores a colour.
struct SolidOp {
    unsigned char colour;
    void pixel(unsigned char* p) const { *p = colour; }
    void span(unsigned char* p, int n) const { fillRow(p, static_cast<size_t>(n), colour); }
};

// Combines each pixel with a mask by exclusive or; twice restores. Spans run
// the kernel of the CPU path in use.
struct XorOp {
    unsigned char mask;
    XorSpanFn* spanRow = rowKernelsInUse().xorSpan;
    void pixel(unsigned char* p) const { *p ^= mask; }
    void span(unsigned char* p, int n) const { spanRow(p, n, mask); }
};

// Saves every covered pixel, in walking order, before storing the colour.
// Pixels beyond the buffer's capacity are drawn but not saved.
struct SaveOp {
    unsigned char colour;
    unsigned char* cursor;
    unsigned char* end;
    void pixel(unsigned char* p)
    {
        if (cursor < end)
            *cursor++ = *p;
        *p = colour;
    }
    void span(unsigned char* p, int n)
    {
        const int saved = n < end - cursor ? n : static_cast<int>(end - cursor);
        std::memcpy(cursor, p, static_cast<size_t>(saved));
        cursor += saved;
        fillRow(p, static_cast<size_t>(n), colour);
    }
};

// Writes saved pixels back along the same walk.
struct RestoreOp {
    const unsigned char* cursor;
    const unsigned char* end;
    void pixel(unsigned char* p)
    {
        if (cursor < end)
            *p = *cursor++;
    }
    void span(unsigned char* p, int n)
    {
        const int restored = n < end - cursor ? n : static_cast<int>(end - cursor);
        std::memcpy(p, cursor, static_cast<size_t>(restored));
        cursor += restored;
    }
};
