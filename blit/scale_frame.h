// The frame of the power-of-two scale blits, shared by the plain and the
// shaded forms: every form is one row of a direction table, and the frame does
// the placement, the two cuts, the statistics and the line and pixel loops.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "bitmap/bitmap.h"
#include "draw/target.h"
#include "platform/cpu_features.h"
#include "video/palette.h"
#include "video/screen.h"
#include "video/wrapint.h"
#include "video/fixed_point.h"

// How one form walks the screen. A line is what one source row becomes: a
// screen row, or a screen column for the quarter turns. Sampling along an
// axis starts at position 0 and runs up, or, for a reversed axis, starts at
// (size x 65536 - step) and runs down so that the far edge is drawn first.
struct ScaleForm {
    bool linesAreColumns;  // source rows become screen columns
    int8_t lineDir;        // +1 / -1: screen direction from one line to the next
    int8_t pixelDir;       // +1 / -1: screen direction along a line
    bool rowsReversed;     // the last source row is drawn first
    bool columnsReversed;  // the last source column is drawn first
    bool atOrigin;         // the scaled, turned origin point lands on (x, y);
                           // otherwise the footprint's top-left corner does
};

enum class ScaleTurn { None, Rot90, Rot180, Rot270, MapRot90, MapRot180, MapRot270 };

// Indexed by ScaleTurn. Quarter turns are clockwise on a screen whose rows run
// downward; the map forms put every screen direction forward and reverse the
// source instead.
inline constexpr ScaleForm scaleForms[] = {
    // columns  line  pixel  rowsRev colsRev  atOrigin
    {false, +1, +1, false, false, true},   // None: rows downward, pixels rightward
    {true, -1, +1, false, false, true},    // Rot90: columns leftward, pixels downward
    {false, -1, -1, false, false, true},   // Rot180: rows upward, pixels leftward
    {true, +1, -1, false, false, true},    // Rot270: columns rightward, pixels upward
    {true, +1, +1, true, false, false},    // MapRot90: last row is the left column
    {false, +1, +1, true, true, false},    // MapRot180
    {true, +1, +1, false, true, false},    // MapRot270: last column is the top row
};

constexpr const ScaleForm& scaleForm(ScaleTurn t)
{
    return scaleForms[static_cast<int>(t)];
}

// How the source row offset is found. The plain blits shift for power-of-two
// widths; the shaded ones always multiply. scaleMuls counts the lines whose
// offset was multiplied.
enum class RowOffsets { ShiftWherePossible, Multiply };

// A pixel op that can also take a whole 1:1 row: row(screenRow, sourceRow, n).
template <class Op>
concept RowForm = requires(const Op o, unsigned char* d, const unsigned char* p) { o.row(d, p, int32_t{}); };

namespace scale_detail {

// One screen axis walked by one source axis, 16.16 positions. The positions
// and the cut are computed in 64 bits: a far-off start samples nothing rather
// than a wrapped position.
struct AxisWalk {
    int64_t screen;  // first screen coordinate
    int dir;         // screen direction, +1 / -1
    int64_t posFx;   // first source position
    bool reversed;   // the source position runs down
    int64_t sizeFx;  // source size x 65536

    // Cuts the start onto the region edge [lo, hi) it lies beyond, moving the
    // source position by the cut distance so that the sampling grid stays
    // where an uncut blit would have it, and returns the number of steps that
    // are both inside the source and inside [lo, hi).
    int64_t clip(int32_t lo, int32_t hi, unsigned s)
    {
        const int64_t cut = dir > 0 ? lo - screen : screen - (static_cast<int64_t>(hi) - 1);
        if (cut > 0) {
            screen += dir > 0 ? cut : -cut;
            posFx += reversed ? -(cut << s) : cut << s;
        }
        const int64_t stepFx = int64_t{1} << s;
        int64_t inSource = 0;
        if (reversed)
            inSource = posFx >= 0 ? (posFx >> s) + 1 : 0;
        else if (posFx < sizeFx)
            inSource = (sizeFx - posFx + stepFx - 1) >> s;
        const int64_t inRegion = dir > 0 ? hi - screen : screen - lo + 1;
        return std::max<int64_t>(0, std::min(inSource, inRegion));
    }
};

inline int32_t along(int32_t v, int dir)
{
    return dir > 0 ? v : wrapSub(0, v);
}

}  // namespace scale_detail

// Draws b at step 2^s (16.16) in form f at drawing position (x, y) on the
// Screen through its top clip region. PixelOp: void(unsigned char*
// screenPixel, unsigned char sourcePixel), called for every sampled pixel
// inside the region (transparency is the op's); an op may also offer
// row(screenRow, sourceRow, n) for 1:1 rows. Counts one scaleCall for every
// blit that reaches the placement, then rejects a footprint that has no column
// in the region. A scale above 30 draws and counts nothing.
template <class PixelOp>
void scaleBlit(const ScaleForm& f, int x, int y, const Bitmap& b, unsigned s, RowOffsets offsets, PixelOp op)
{
    using scale_detail::along;
    DrawTarget t = DrawTarget::screen();
    if (!t || !videoMemory || !ZelVideo::lineOff || s > 30)
        return;
    const ZelClipRgn& c = *t.rgn;

    // Placement: source position (0, 0) of an anchored form lies the scaled
    // origin point back from (x, y), ox along the pixel direction and oy along
    // the line direction.
    int32_t xa = c.mapX(x), ya = c.mapY(y);
    if (f.atOrigin) {
        const int32_t ox = wrapMul(b.originX, FixedOne) >> s;
        const int32_t oy = wrapMul(b.originY, FixedOne) >> s;
        const int32_t alongLine = along(oy, f.lineDir), alongPixel = along(ox, f.pixelDir);
        xa = wrapSub(xa, f.linesAreColumns ? alongLine : alongPixel);
        ya = wrapSub(ya, f.linesAreColumns ? alongPixel : alongLine);
    }
    ++videoStatistics.scaleCalls;

    const int64_t stepFx = int64_t{1} << s;
    const int64_t rowsFx = int64_t{b.height} << FixedShift, columnsFx = int64_t{b.width} << FixedShift;
    scale_detail::AxisWalk lineWalk{f.linesAreColumns ? xa : ya, f.lineDir,
                                    f.rowsReversed ? rowsFx - stepFx : 0, f.rowsReversed, rowsFx};
    scale_detail::AxisWalk pixelWalk{f.linesAreColumns ? ya : xa, f.pixelDir,
                                     f.columnsReversed ? columnsFx - stepFx : 0, f.columnsReversed, columnsFx};
    const int64_t lines = f.linesAreColumns ? lineWalk.clip(c.left, c.right, s) : lineWalk.clip(c.top, c.bottom, s);
    const int64_t pixels = f.linesAreColumns ? pixelWalk.clip(c.top, c.bottom, s) : pixelWalk.clip(c.left, c.right, s);
    if ((f.linesAreColumns ? lines : pixels) == 0)
        return;  // no column of the footprint lies in the region

    // A power-of-two width is shifted only when the recorded shift matches the
    // width, so that a stale record cannot send the reads outside the pixels.
    const unsigned shift = b.widthShift();
    const bool byShift = offsets == RowOffsets::ShiftWherePossible && shift != 0 && shift < 31 &&
                         (int64_t{1} << shift) == b.width;
    if (offsets == RowOffsets::Multiply || shift == 0)
        videoStatistics.scaleMuls += static_cast<uint32_t>(lines);
    if (lines == 0 || pixels == 0)
        return;  // outside vertically; a quarter-turned footprint has walked its lines

    const int32_t firstX = static_cast<int32_t>(f.linesAreColumns ? lineWalk.screen : pixelWalk.screen);
    const int32_t firstY = static_cast<int32_t>(f.linesAreColumns ? pixelWalk.screen : lineWalk.screen);
    const ptrdiff_t rowStride = scrWidth;
    const ptrdiff_t lineStride = f.linesAreColumns ? f.lineDir : f.lineDir * rowStride;
    const ptrdiff_t pixelStride = f.linesAreColumns ? f.pixelDir * rowStride : f.pixelDir;
    const int64_t syStepFx = f.rowsReversed ? -stepFx : stepFx;
    const int64_t sxStepFx = f.columnsReversed ? -stepFx : stepFx;

    // At 1:1 with the pixels running forward a line is a run of source bytes
    // in order, which an op with a row form takes whole. The plain path stays
    // pixel by pixel: it is the reference the row forms are held to.
    bool wholeRows = false;
    if constexpr (RowForm<PixelOp>)
        wholeRows = s == FixedShift && !f.linesAreColumns && f.pixelDir > 0 && !f.columnsReversed &&
                    cpuPathInUse != CpuPath::Plain;

    const unsigned char* source = b.pixels();
    ptrdiff_t lineAt = static_cast<ptrdiff_t>(ZelVideo::lineOff[firstY]) + firstX;
    int64_t syFx = lineWalk.posFx;
    for (int64_t line = 0; line < lines; ++line, syFx += syStepFx, lineAt += lineStride) {
        const ptrdiff_t r = static_cast<ptrdiff_t>(syFx >> FixedShift);
        const unsigned char* src = source + (byShift ? r << shift : r * b.width);
        unsigned char* dst = videoMemory + lineAt;
        if constexpr (RowForm<PixelOp>)
            if (wholeRows) {
                op.row(dst, src + (pixelWalk.posFx >> FixedShift), static_cast<int32_t>(pixels));
                continue;
            }
        int64_t sxFx = pixelWalk.posFx;
        ptrdiff_t at = 0;
        for (int64_t p = 0; p < pixels; ++p, sxFx += sxStepFx, at += pixelStride)
            op(dst + at, src[sxFx >> FixedShift]);
    }
}
