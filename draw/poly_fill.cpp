// The span fills: flat, dithered Gouraud and the finer three-way dither.
// They write screen rows polyMinY .. polyMinY + polyHeight - 1 without
// clipping: the spans are the caller's (or the clip's) responsibility.

#include <cstring>
#include <iostream>

#include "draw/poly.h"
#include "video/screen.h"
#include "video/wrapint.h"

namespace {

// Rows the fills may touch: the stored rows of the span buffer that lie on
// the screen. Spans themselves are trusted as the callers guarantee them.
int32_t fillableRows()
{
    int32_t rows = polyHeight < ZelPolyRows ? polyHeight : ZelPolyRows;
    if (polyMinY < 0 || polyMinY > scrHeight)
        return 0;
    return rows < scrHeight - polyMinY ? rows : scrHeight - polyMinY;
}

unsigned char* screenRow(int32_t y)
{
    return videoMemory + ZelVideo::lineOff[y];
}

// Spans are trusted, but a span reaching past the screen's row is cut to it,
// so that a bad span can never write outside the buffer.
int32_t firstOnRow(int32_t left)
{
    return left < 0 ? 0 : left;
}

int32_t endOnRow(int32_t right)
{
    return right > scrWidth ? scrWidth : right;
}

bool bit(int32_t v, int n)
{
    return (static_cast<uint32_t>(v) >> n) & 1u;
}

// One Gouraud row: i starts half a step up and ramps toward the right end;
// dither(i, x, p) adds -1, 0 or +1 to the palette offset.
template <class Dither> void gouraudRows(Dither dither)
{
    const Point* columns = polyBuffer.get();
    const Point* intensities = gouraudBuffer.get();
    if (!columns || !intensities || !videoMemory || !ZelVideo::lineOff)
        return;
    const int32_t rows = fillableRows();
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t left = columns[r].side[0], right = columns[r].side[1];
        const int32_t n = wrapSub(right, left);
        if (n == 0)
            continue;
        int32_t i = wrapAdd(intensities[r].side[0], 32768);
        const int32_t step = wrapDiv(wrapSub(intensities[r].side[1], i), n);
        unsigned char* row = screenRow(polyMinY + r);
        const bool oddRow = r & 1;
        const int32_t first = firstOnRow(left), end = endOnRow(right);
        if (first > left)
            i = wrapAdd(i, wrapMul(step, wrapSub(first, left)));
        for (int32_t x = first; x < end; ++x) {
            unsigned char* p = row + x;
            const bool oddPixel = reinterpret_cast<uintptr_t>(p) & 1u;
            *p = static_cast<unsigned char>(defaultColor + (i >> 16) + dither(i, left, oddPixel, oddRow));
            i = wrapAdd(i, step);
        }
    }
}

}  // namespace

void fillPoly()
{
    const Point* columns = polyBuffer.get();
    if (!columns || !videoMemory || !ZelVideo::lineOff)
        return;
    const int32_t rows = fillableRows();
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t n = wrapSub(columns[r].side[1], columns[r].side[0]);
        if (n < 0) {
            std::cout << "Wrong Direction.\n" << std::flush;
            return;
        }
        const int32_t first = firstOnRow(columns[r].side[0]), end = endOnRow(columns[r].side[1]);
        if (n > 0 && end > first)
            std::memset(screenRow(polyMinY + r) + first, defaultColor, static_cast<size_t>(end - first));
    }
}

// Two-level dither on the buffer address: a pixel with the half bit set goes
// one step up on alternate pixels of a checkerboard.
void fillPolyGouraud()
{
    gouraudRows([](int32_t i, int32_t, bool oddPixel, bool oddRow) {
        return bit(i, 15) && (oddPixel != oddRow) ? 1 : 0;
    });
}

// Three-way dither anchored to the span's left column, reading two fraction
// bits: it can also lower a pixel one step.
void fillPolyGouraudEnh()
{
    gouraudRows([](int32_t i, int32_t left, bool oddPixel, bool oddRow) {
        const bool a = oddPixel != bit(left, 0);
        const bool b15 = bit(i, 15), b13 = bit(i, 13);
        const int up = ((!a && b13 && oddRow) || ((a != oddRow) && b15)) ? 1 : 0;
        const int down = (a && !b13 && !oddRow) ? 1 : 0;
        return up - down;
    });
}
