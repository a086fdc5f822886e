// The span fills: flat, dithered Gouraud and the finer three-way dither.
// They write screen rows polyMinY .. polyMinY + polyHeight - 1 without
// clipping: the spans are the caller's (or the clip's) responsibility.

#include <algorithm>
#include <cstring>
#include <iostream>

#include "video/short_rows.h"
#include "draw/gouraud_ramp.h"
#include "draw/poly.h"
#include "draw/ramp_rows.h"
#include "platform/cpu_features.h"
#include "video/screen.h"
#include "video/wrapint.h"
#include "video/fixed_point.h"

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

// The rows of the span buffer on the screen, read once: the fills' own byte
// stores would otherwise make the compiler fetch the screen's globals again
// for every row.
struct SpanRows {
    unsigned char* memory = videoMemory;
    const int* offsets = ZelVideo::lineOff;
    int32_t top = polyMinY;
    int32_t width = scrWidth;

    unsigned char* row(int32_t r) const { return memory + offsets[top + r]; }
    // Spans are trusted, but a span reaching past the screen's row is cut to
    // it, so that a bad span can never write outside the buffer.
    static int32_t first(int32_t left) { return left < 0 ? 0 : left; }
    int32_t end(int32_t right) const { return right > width ? width : right; }
};

bool bit(int32_t v, int n)
{
    return (static_cast<uint32_t>(v) >> n) & 1u;
}

// A Gouraud span: i starts half a step up at the span's left end and ramps
// toward the right end; first and end are the columns on the screen row.
struct GouraudSpan {
    unsigned char* row;
    int32_t left, first, end;
    int32_t i, step;
    bool oddRow;
};

// Calls span(s) for every non-empty stored row of the span buffers.
template <class Span> void forEachGouraudSpan(Span span)
{
    const Point* columns = polyBuffer.get();
    const Point* intensities = gouraudBuffer.get();
    if (!columns || !intensities || !videoMemory || !ZelVideo::lineOff)
        return;
    const int32_t rows = fillableRows();
    const SpanRows screen;
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t left = columns[r].side[0], right = columns[r].side[1];
        const int32_t n = wrapSub(right, left);
        if (n == 0)
            continue;
        GouraudSpan g{screen.row(r), left, screen.first(left), screen.end(right), 0, 0, (r & 1) != 0};
        // Nothing of the span on the row: off the screen, or ends reversed.
        if (g.end <= g.first)
            continue;
        g.i = wrapAdd(intensities[r].side[0], FixedHalf);
        g.step = wrapDiv(wrapSub(intensities[r].side[1], g.i), n);
        if (g.first > left)
            g.i = wrapAdd(g.i, wrapMul(g.step, wrapSub(g.first, left)));
        span(g);
    }
}

// The colour of one pixel: dither(i, left, oddPixel, oddRow) adds -1, 0 or
// +1 to the palette offset.
template <class Dither>
unsigned char gouraudPixel(const GouraudSpan& g, int32_t i, bool oddPixel, Dither dither)
{
    return static_cast<unsigned char>(defaultColor + (i >> FixedShift) + dither(i, g.left, oddPixel, g.oddRow));
}

// The oddness of a pixel is that of its address in the buffer.
bool oddAddress(const unsigned char* p)
{
    return reinterpret_cast<uintptr_t>(p) & 1u;
}

template <class Dither> void gouraudPixels(const GouraudSpan& g, Dither dither)
{
    int32_t i = g.i;
    for (int32_t x = g.first; x < g.end; ++x) {
        g.row[x] = gouraudPixel(g, i, oddAddress(g.row + x), dither);
        i = wrapAdd(i, g.step);
    }
}

// How many pixels from one with intensity i keep i >> shift unchanged, at
// most limit. The intensity wraps as a 32-bit value, so only its bits count.
int32_t pixelsOnLevel(int32_t i, int32_t step, int shift, int32_t limit)
{
    const uint32_t unit = 1u << shift;
    const uint32_t within = static_cast<uint32_t>(i) & (unit - 1);
    uint64_t count;
    if (step > 0)
        count = (unit - within + static_cast<uint32_t>(step) - 1) / static_cast<uint32_t>(step);
    else if (step < 0)
        count = within / static_cast<uint64_t>(-static_cast<int64_t>(step)) + 1;
    else
        return limit;
    return count < static_cast<uint64_t>(limit) ? static_cast<int32_t>(count) : limit;
}

// The runs after the first one start just past a level boundary, so their
// lengths take one of two values: unit / |step| and one more. Level keeps the
// division's quotient and remainder and tells each run's length from where in
// its level the run starts, without dividing again.
class LevelRuns {
public:
    LevelRuns(int32_t step, int shift)
        : unit_(1u << shift), down_(step < 0),
          size_(down_ ? static_cast<uint32_t>(-static_cast<int64_t>(step)) : static_cast<uint32_t>(step)),
          whole_(unit_ / size_), rest_(unit_ % size_)
    {
    }

    // The run length from intensity i, which lies within one step past a
    // boundary (above it going up, below it going down).
    int32_t next(int32_t i) const
    {
        const uint32_t within = static_cast<uint32_t>(i) & (unit_ - 1);
        if (!down_)
            return static_cast<int32_t>(whole_ + (rest_ > within ? 1 : 0));
        return static_cast<int32_t>(whole_ + 1 - (rest_ < unit_ - within ? 1 : 0));
    }

private:
    uint32_t unit_;
    bool down_;
    uint32_t size_, whole_, rest_;
};

// n bytes alternating first, second, first, ...
void fillAlternating(unsigned char* p, int32_t n, unsigned char first, unsigned char second)
{
    if (first == second) {
        fillRow(p, static_cast<size_t>(n), first);
        return;
    }
    const uint64_t pattern = (first | static_cast<uint64_t>(second) << 8) * 0x0001000100010001ull;
    int32_t k = 0;
    for (; k + 8 <= n; k += 8)
        std::memcpy(p + k, &pattern, 8);
    for (; k < n; ++k)
        p[k] = (k & 1) ? second : first;
}

// The same pixels as gouraudPixels, a run at a time: while i >> shift stays
// the same, every pixel takes one of two colours by the oddness of its
// address (the dither reads no bit of i below shift). Steps of a whole level
// or more leave no runs and go pixel by pixel.
template <int Shift, class Dither> void gouraudRuns(const GouraudSpan& g, Dither dither)
{
    if (g.step >= (1 << Shift) || g.step <= -(1 << Shift)) {
        gouraudPixels(g, dither);
        return;
    }
    if (g.step == 0) {
        const bool odd = oddAddress(g.row + g.first);
        fillAlternating(g.row + g.first, g.end - g.first, gouraudPixel(g, g.i, odd, dither),
                        gouraudPixel(g, g.i, !odd, dither));
        return;
    }
    const LevelRuns runs(g.step, Shift);
    int32_t i = g.i;
    int32_t n = pixelsOnLevel(i, g.step, Shift, g.end - g.first);
    for (int32_t x = g.first; x < g.end;) {
        unsigned char* p = g.row + x;
        const bool odd = oddAddress(p);
        fillAlternating(p, n, gouraudPixel(g, i, odd, dither), gouraudPixel(g, i, !odd, dither));
        x += n;
        i = wrapAdd(i, wrapMul(g.step, n));
        n = std::min(runs.next(i), g.end - x);
    }
}

// Two-level dither on the buffer address: a pixel with the half bit set goes
// one step up on alternate pixels of a checkerboard.
int gouraudDither(int32_t i, int32_t, bool oddPixel, bool oddRow)
{
    return bit(i, 15) && (oddPixel != oddRow) ? 1 : 0;
}

// Three-way dither anchored to the span's left column, reading two fraction
// bits: it can also lower a pixel one step.
int enhancedDither(int32_t i, int32_t left, bool oddPixel, bool oddRow)
{
    const bool a = oddPixel != bit(left, 0);
    const bool b15 = bit(i, 15), b13 = bit(i, 13);
    const int up = ((!a && b13 && oddRow) || ((a != oddRow) && b15)) ? 1 : 0;
    const int down = (a && !b13 && !oddRow) ? 1 : 0;
    return up - down;
}

// Gentle ramps change level rarely and go a run at a time; steeper ones go
// many pixels at a time, computing every pixel.
bool gentle(const GouraudSpan& g)
{
    constexpr int32_t LongRun = 64;
    return g.step > -(FixedHalf / LongRun) && g.step < FixedHalf / LongRun;
}

RampRow rampRow(const GouraudSpan& g)
{
    unsigned char* p = g.row + g.first;
    return RampRow{p, g.end - g.first, g.i, g.step, oddAddress(p) != g.oddRow};
}

// The plain path draws pixel by pixel: it is the reference the others are
// held to.
void gouraudSpan(const GouraudSpan& g)
{
    if (cpuPathInUse == CpuPath::Plain) {
        gouraudPixels(g, gouraudDither);
        return;
    }
    if (gentle(g)) {
        gouraudRuns<15>(g, gouraudDither);
        return;
    }
    const RampRow r = rampRow(g);
    if (cpuPathInUse >= CpuPath::Avx2)
        gouraudRampAvx2(r.p, r.n, r.i, r.step, r.liftFirst, defaultColor);
    else
        gouraudRampSse2(r.p, r.n, r.i, r.step, r.liftFirst, defaultColor);
}

// The AVX-512 path gathers the steep rows and draws them in batches.
class RampBatch {
public:
    void add(const GouraudSpan& g)
    {
        rows_[count_++] = rampRow(g);
        if (count_ == Size)
            flush();
    }
    void flush()
    {
        gouraudRampsAvx512(rows_, count_, defaultColor);
        count_ = 0;
    }

private:
    static constexpr int32_t Size = 32;
    RampRow rows_[Size];
    int32_t count_ = 0;
};

void gouraudSpansAvx512()
{
    RampBatch batch;
    forEachGouraudSpan([&batch](const GouraudSpan& g) {
        if (gentle(g))
            gouraudRuns<15>(g, gouraudDither);
        else
            batch.add(g);
    });
    batch.flush();
}

void enhancedSpan(const GouraudSpan& g)
{
    if (cpuPathInUse == CpuPath::Plain)
        gouraudPixels(g, enhancedDither);
    else
        gouraudRuns<13>(g, enhancedDither);
}

}  // namespace

void fillPoly()
{
    const Point* columns = polyBuffer.get();
    if (!columns || !videoMemory || !ZelVideo::lineOff)
        return;
    const int32_t rows = fillableRows();
    const SpanRows screen;
    const unsigned char colour = defaultColor;
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t n = wrapSub(columns[r].side[1], columns[r].side[0]);
        if (n < 0) {
            std::cout << "Wrong Direction.\n" << std::flush;
            return;
        }
        const int32_t first = screen.first(columns[r].side[0]), end = screen.end(columns[r].side[1]);
        if (n > 0 && end > first)
            fillRow(screen.row(r) + first, static_cast<size_t>(end - first), colour);
    }
}

void fillPolyGouraud()
{
    if (cpuPathInUse >= CpuPath::Avx512)
        gouraudSpansAvx512();
    else
        forEachGouraudSpan(gouraudSpan);
}

void fillPolyGouraudEnh()
{
    forEachGouraudSpan(enhancedSpan);
}
