// The families of solid, XOR and polygon primitives of a long run.

#include <algorithm>
#include <climits>

#include "call_text.h"
#include "cout_capture.h"
#include "draw/draw.h"
#include "draw/poly.h"
#include "random_drawing.h"
#include "video/screen.h"

namespace zeltest {

namespace {

// A drawing coordinate mapped through the region as the library maps it,
// with 32-bit wrap-around.
int32_t wrapMap(int32_t edge, int32_t origin, int32_t v)
{
    return static_cast<int32_t>(static_cast<uint32_t>(edge) + static_cast<uint32_t>(origin) + static_cast<uint32_t>(v));
}

// A Poly record of the given vertices.
std::vector<int32_t> polyRecord(const std::vector<ZelVector2>& vertices)
{
    std::vector<int32_t> record{static_cast<int32_t>(vertices.size())};
    for (const ZelVector2& v : vertices)
        record.insert(record.end(), {v.x, v.y});
    return record;
}

Poly* asPoly(std::vector<int32_t>& record)
{
    return reinterpret_cast<Poly*>(record.data());
}

std::string polyText(const std::vector<ZelVector2>& vertices)
{
    std::ostringstream s;
    for (const ZelVector2& v : vertices)
        s << '(' << v.x << ' ' << v.y << ')';
    return s.str();
}

// The convex hull of points, clockwise as the screen shows it (rows grow
// downward), without collinear vertices.
std::vector<ZelVector2> convexHull(std::vector<ZelVector2> points)
{
    std::sort(points.begin(), points.end(), [](const ZelVector2& a, const ZelVector2& b) {
        return a.x != b.x ? a.x < b.x : a.y < b.y;
    });
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.size() < 3)
        return points;
    auto cross = [](const ZelVector2& o, const ZelVector2& a, const ZelVector2& b) {
        using Wide = __int128;  // differences of any two ints, multiplied
        return Wide{int64_t{a.x} - o.x} * (int64_t{b.y} - o.y) - Wide{int64_t{a.y} - o.y} * (int64_t{b.x} - o.x);
    };
    std::vector<ZelVector2> hull;
    for (int pass = 0; pass < 2; ++pass) {
        const size_t base = hull.size();
        for (const ZelVector2& p : points) {
            while (hull.size() >= base + 2 && cross(hull[hull.size() - 2], hull.back(), p) <= 0)
                hull.pop_back();
            hull.push_back(p);
        }
        hull.pop_back();
        std::reverse(points.begin(), points.end());
    }
    return hull;
}

int32_t minY(const std::vector<ZelVector2>& v)
{
    return std::min_element(v.begin(), v.end(), [](auto& a, auto& b) { return a.y < b.y; })->y;
}

int32_t maxY(const std::vector<ZelVector2>& v)
{
    return std::max_element(v.begin(), v.end(), [](auto& a, auto& b) { return a.y < b.y; })->y;
}

}  // namespace

std::string RandomDrawing::pixels()
{
    const int32_t x = anyCoord(X), y = anyCoord(Y);
    if (chance(50)) {
        const unsigned char c = colour();
        putPixel(x, y, c);
        return describe("putPixel", x, y, c);
    }
    const ZelClipRgn& r = region();
    const int32_t bx = wrapMap(r.left, r.originX, x), by = wrapMap(r.top, r.originY, y);
    const unsigned char expected = r.contains(bx, by) ? screen_.pixels()[by * width_ + bx] : 0;
    if (getPixel(x, y) != expected)
        problem_ = "getPixel answers another byte than the one under the point";
    return describe("getPixel", x, y);
}

std::string RandomDrawing::runs()
{
    const int32_t x = anyCoord(X), y = anyCoord(Y), length = anySize();
    const unsigned char c = colour();
    switch (below(4)) {
    case 0:
        putVLine(x, y, length, c);
        return describe("putVLine", x, y, length, c);
    case 1:
        putHLine(x, y, length, c);
        return describe("putHLine", x, y, length, c);
    case 2:
        vRun({x, y}, length, c, screen_.setup().bitmap());
        return describe("vRun", x, y, length, c);
    default:
        hRun({x, y}, length, c, screen_.setup().bitmap());
        return describe("hRun", x, y, length, c);
    }
}

std::string RandomDrawing::lines()
{
    const int32_t x = anyCoord(X), y = anyCoord(Y);
    if (chance(30)) {
        if (chance(50)) {
            currentXPos = anyCoord(X);
            currentYPos = anyCoord(Y);
        }
        defaultColor = colour();
        const std::string what = describe("putLineTo from", currentXPos, currentYPos, "to", x, y);
        putLineTo(x, y);
        if (currentXPos != x || currentYPos != y)
            problem_ = "putLineTo did not move the current position";
        return what;
    }
    const int32_t x2 = chance(20) ? x : anyCoord(X), y2 = chance(20) ? y : anyCoord(Y);
    const unsigned char c = colour();
    putLine(x, y, x2, y2, c);
    return describe("putLine", x, y, x2, y2, c);
}

std::string RandomDrawing::bars()
{
    const int32_t x = anyCoord(X), y = anyCoord(Y), w = anySize(), h = anySize();
    const unsigned char c = colour();
    switch (below(4)) {
    case 0:
        putBar(x, y, w, h, c);
        return describe("putBar", x, y, w, h, c);
    case 1:
        fillRect({x, y}, {w, h}, c, screen_.setup().bitmap());
        return describe("fillRect", x, y, w, h, c);
    case 2:
        putRectangle(x, y, w, h, c);
        return describe("putRectangle", x, y, w, h, c);
    default:
        frameRect({x, y}, {w, h}, c, screen_.setup().bitmap());
        return describe("frameRect", x, y, w, h, c);
    }
}

std::string RandomDrawing::boxes()
{
    const int32_t x = anyCoord(X), y = anyCoord(Y), w = anySize(), h = anySize();
    const unsigned char style = static_cast<unsigned char>(below(6));
    putBox(x, y, w, h, style);
    return describe("putBox", x, y, w, h, style);
}

// Drawn once here; drawing it again must give the screen back.
std::string RandomDrawing::xorFigures()
{
    const int32_t x = anyCoord(X), y = anyCoord(Y), w = anySize(), h = anySize();
    const unsigned char mask = colour();
    static constexpr void (*lineFigures[])(int, int, int, unsigned char) = {putXorVLine, putXorHLine};
    static constexpr void (*areaFigures[])(int, int, int, int, unsigned char) = {putXorBar, putXorRectangle};
    const uint32_t which = below(4);
    if (which < 2) {
        auto figure = lineFigures[which];
        undo_ = [=] { figure(x, y, w, mask); };
        undo_();
        return describe(which ? "putXorHLine" : "putXorVLine", x, y, w, mask);
    }
    auto figure = areaFigures[which - 2];
    undo_ = [=] { figure(x, y, w, h, mask); };
    undo_();
    return describe(which == 2 ? "putXorBar" : "putXorRectangle", x, y, w, h, mask);
}

// Drawn here, erased by undo().
std::string RandomDrawing::smartLine()
{
    const int32_t x1 = anyCoord(X), y1 = anyCoord(Y);
    const int32_t x2 = chance(20) ? x1 : anyCoord(X), y2 = chance(20) ? y1 : anyCoord(Y);
    const unsigned char c = colour();
    line_.draw(x1, y1, x2, y2, c);
    undo_ = [this] { line_.erase(); };
    return describe("ZelSmartLine::draw", x1, y1, x2, y2, c);
}

std::string RandomDrawing::polygons()
{
    std::vector<ZelVector2> vertices;
    // At times the vertices lie anywhere, the ends of the int range included,
    // where mapping and clamping wrap as defined and may reverse a row.
    const bool anywhere = chance(10);
    const bool far = chance(15);
    const int32_t span = chance(85) ? between(1, 2 * width_) : between(1, 20000);
    // A centre whose points all fit the int range, so that they never collapse onto one row.
    auto centre = [&](Axis axis) {
        const int64_t at = blitCoord(axis);
        return std::clamp<int64_t>(at + (far ? between(-30000, 30000) : 0), int64_t{INT32_MIN} + span, int64_t{INT32_MAX} - span);
    };
    const int64_t cx = centre(X);
    const int64_t cy = centre(Y);
    auto around = [&](int64_t c) { return static_cast<int32_t>(c + between(-span, span)); };
    while (vertices.empty() || minY(vertices) == maxY(vertices)) {
        std::vector<ZelVector2> points(between(2, 8));
        for (ZelVector2& p : points)
            p = anywhere ? ZelVector2{anyCoord(X), anyCoord(Y)} : ZelVector2{around(cx), around(cy)};
        vertices = convexHull(points);
    }
    const uint32_t which = below(5);
    const bool clockwise = which % 2 == 0;
    if (!clockwise)
        std::reverse(vertices.begin(), vertices.end());
    std::vector<int32_t> record = polyRecord(vertices);
    defaultColor = colour();
    CoutCapture out;
    switch (which) {
    case 0:
        putPolyClockwise(asPoly(record));
        break;
    case 1:
        putPolyCounterClockwise(asPoly(record));
        break;
    case 2:
        clipPolyClockwise(asPoly(record));
        break;
    case 3:
        clipPolyCounterClockwise(asPoly(record));
        break;
    default:
        // The wrong winding: the fill stops at the first reversed row.
        putPolyCounterClockwise(asPoly(record));
        break;
    }
    const std::string printed = out.text();
    if (which < 2 && !anywhere && !printed.empty())
        problem_ = "a polygon of the right winding printed " + quoted(printed);
    static const char* const names[] = {"putPolyClockwise", "putPolyCounterClockwise", "clipPolyClockwise",
                                        "clipPolyCounterClockwise", "putPolyCounterClockwise (clockwise polygon)"};
    return std::string(names[which]) + " " + polyText(vertices);
}

// scanPoly with fillPoly, and the two Gouraud fills over edges traced here,
// all on polygons inside the region in bitmap coordinates: these draw
// without clipping.
std::string RandomDrawing::directFills()
{
    if (regionEmpty())
        return "no direct fill into an empty region";
    const ZelClipRgn& r = region();
    std::vector<ZelVector2> vertices;
    while (vertices.empty() || minY(vertices) == maxY(vertices)) {
        std::vector<ZelVector2> points(between(2, 8));
        for (ZelVector2& p : points)
            p = {between(r.left, r.right), between(r.top, r.bottom)};
        vertices = convexHull(points);
    }
    defaultColor = colour();
    const uint32_t which = below(3);
    std::vector<int32_t> record = polyRecord(vertices);
    if (which == 0) {
        scanPoly(asPoly(record));
        fillPoly();
        return "scanPoly, fillPoly " + polyText(vertices);
    }

    // Trace as scanPoly does: top and bottom vertex, the highest index
    // winning ties; the chain forward from the top on side 1, backward on side 0.
    const int32_t n = static_cast<int32_t>(vertices.size());
    int32_t top = 0, bottom = 0;
    for (int32_t i = n - 1; i >= 0; --i) {
        if (vertices[i].y < vertices[top].y || (vertices[i].y == vertices[top].y && i > top))
            top = i;
        if (vertices[i].y > vertices[bottom].y || (vertices[i].y == vertices[bottom].y && i > bottom))
            bottom = i;
    }
    // Intensities of every kind: gentle and steep ramps, values next to the
    // 32-bit wrap, anything.
    std::vector<int32_t> intensity(vertices.size());
    for (int32_t& i : intensity) {
        const uint32_t kind = below(4);
        i = kind == 0 ? between(0, 60 * 65536)
            : kind == 1 ? between(0, 256 * 65536)
            : kind == 2 ? static_cast<int32_t>(0x7fff0000u + below(0x20000u))
                        : static_cast<int32_t>(rng_());
    }
    const int32_t y0 = vertices[top].y;
    polyStartIndex = 0;
    polyStopIndex = vertices[bottom].y - y0;
    for (int side = 1; side >= 0; --side) {
        const int32_t step = side ? 1 : n - 1;
        for (int32_t a = top; a != bottom; a = (a + step) % n) {
            const int32_t b = (a + step) % n;
            scanSideGouraud(vertices[a].x, vertices[a].y - y0, intensity[a], vertices[b].x, vertices[b].y - y0,
                            intensity[b], static_cast<unsigned char>(side));
        }
    }
    polyMinY = y0;
    polyHeight = vertices[bottom].y - y0;
    Point* columns = polyBuffer.get();
    Point* levels = gouraudBuffer.get();
    // A few rows keep their ends reversed: the Gouraud fills draw nothing there.
    for (int32_t row = 0; row < polyHeight; ++row) {
        if (columns[row].side[1] < columns[row].side[0] && !chance(5)) {
            std::swap(columns[row].side[0], columns[row].side[1]);
            std::swap(levels[row].side[0], levels[row].side[1]);
        }
    }
    (which == 1 ? fillPolyGouraud : fillPolyGouraudEnh)();
    return std::string(which == 1 ? "fillPolyGouraud " : "fillPolyGouraudEnh ") + polyText(vertices);
}

}  // namespace zeltest
