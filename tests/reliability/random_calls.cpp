// The calls of a long run: one table of every drawing call with the kinds of
// its arguments, and the calls that prepare more than arguments (polygons,
// spans, captures, measures).

#include <algorithm>
#include <climits>
#include <string_view>

#include "bitmap/blit.h"
#include "blit/rotate.h"
#include "blit/scale.h"
#include "blit/textured_fill.h"
#include "blit/zoom.h"
#include "cout_capture.h"
#include "draw/draw.h"
#include "draw/poly.h"
#include "font/font.h"
#include "random_drawing.h"
#include "video/screen.h"

namespace zeltest {

namespace {

// A Poly record of the given vertices.
std::vector<int32_t> polyRecord(const std::vector<ZelVector2>& vertices)
{
    std::vector<int32_t> record{static_cast<int32_t>(vertices.size())};
    for (const ZelVector2& v : vertices)
        record.insert(record.end(), {v.x, v.y});
    return record;
}

std::string polyText(const std::vector<ZelVector2>& vertices)
{
    std::string s;
    for (const ZelVector2& v : vertices)
        s.append("(").append(std::to_string(v.x)).append(" ").append(std::to_string(v.y)).append(")");
    return s;
}

}  // namespace

std::vector<std::vector<RandomDrawing::Call>> RandomDrawing::calls()
{
    Bitmap* const screen = &screen_.setup().bitmap();
    using Scale = void (*)(int, int, HClass<Bitmap>, unsigned char);
    auto scale = [](const char* name, Scale f) {
        return Call{name, "uvSe", [f](Args& a) { f(a[0], a[1], a.bitmap->h, a[2]); }};
    };
    using ShadeScale = void (*)(int, int, HClass<Bitmap>, unsigned char, signed char);
    auto shadeScale = [](const char* name, ShadeScale f) {
        return Call{name, "uvSeh", [f](Args& a) { f(a[0], a[1], a.bitmap->h, a[2], a[3]); }};
    };
    using Zoom = void (*)(int, int, HClass<Bitmap>, unsigned int);
    auto zoom = [](const char* name, Zoom f) {
        return Call{name, "SzP", [f](Args& a) { f(a[1], a[2], a.bitmap->h, a[0]); }};
    };
    auto poly = [this](const char* name, void (*fill)(Poly*), bool clockwise) {
        return Call{name, "", [=, this](Args& a) { polygons(a, fill, clockwise); }};
    };
    // Families of calls: a call picks a family, then a call of it.
    return {
        {
        {"putPixel", "xyc", [](Args& a) { putPixel(a[0], a[1], a[2]); }},
        {"getPixel", "xy", [](Args& a) { a.answer = " = " + std::to_string(getPixel(a[0], a[1])); }},
        }, {
        {"putVLine", "xysc", [](Args& a) { putVLine(a[0], a[1], a[2], a[3]); }},
        {"putHLine", "xysc", [](Args& a) { putHLine(a[0], a[1], a[2], a[3]); }},
        {"vRun", "xysc", [screen](Args& a) { vRun({a[0], a[1]}, a[2], a[3], *screen); }},
        {"hRun", "xysc", [screen](Args& a) { hRun({a[0], a[1]}, a[2], a[3], *screen); }},
        }, {
        {"putLine", "xyXYc", [](Args& a) { putLine(a[0], a[1], a[2], a[3], a[4]); }},
        // From the current position, at times set here, else where the last call left it.
        {"putLineTo", "xy2xyc",
         [](Args& a) {
             if (a[2])
                 currentXPos = a[3], currentYPos = a[4];
             defaultColor = static_cast<unsigned char>(a[5]);
             a.answer = " from " + std::to_string(currentXPos) + "," + std::to_string(currentYPos);
             putLineTo(a[0], a[1]);
         }},
        }, {
        {"putBar", "xyssc", [](Args& a) { putBar(a[0], a[1], a[2], a[3], a[4]); }},
        {"fillRect", "xyssc", [screen](Args& a) { fillRect({a[0], a[1]}, {a[2], a[3]}, a[4], *screen); }},
        {"putRectangle", "xyssc", [](Args& a) { putRectangle(a[0], a[1], a[2], a[3], a[4]); }},
        {"frameRect", "xyssc", [screen](Args& a) { frameRect({a[0], a[1]}, {a[2], a[3]}, a[4], *screen); }},
        }, {
        {"putBox", "xyss6", [](Args& a) { putBox(a[0], a[1], a[2], a[3], a[4]); }},
        }, {
        {"putXorVLine", "xysc", [](Args& a) { putXorVLine(a[0], a[1], a[2], a[3]); }, true},
        {"putXorHLine", "xysc", [](Args& a) { putXorHLine(a[0], a[1], a[2], a[3]); }, true},
        {"putXorBar", "xyssc", [](Args& a) { putXorBar(a[0], a[1], a[2], a[3], a[4]); }, true},
        {"putXorRectangle", "xyssc", [](Args& a) { putXorRectangle(a[0], a[1], a[2], a[3], a[4]); }, true},
        }, {
        {"ZelSmartLine::draw", "xyXYc",
         [this](Args& a) {
             line_.draw(a[0], a[1], a[2], a[3], a[4]);
             undo_ = [this] { line_.erase(); };
         }},
        }, {
        poly("putPolyClockwise", putPolyClockwise, true),
        poly("putPolyCounterClockwise", putPolyCounterClockwise, false),
        poly("clipPolyClockwise", clipPolyClockwise, true),
        poly("clipPolyCounterClockwise", clipPolyCounterClockwise, false),
        // The wrong winding: the fill stops at the first reversed row.
        poly("putPolyCounterClockwise of a clockwise polygon", putPolyCounterClockwise, true),
        }, {
        {"scanPoly, fillPoly", "", [this](Args& a) { directFill(a, 0); }},
        {"fillPolyGouraud", "", [this](Args& a) { directFill(a, 1); }},
        {"fillPolyGouraudEnh", "", [this](Args& a) { directFill(a, 2); }},
        }, {
        {"putImage", "xySc", [](Args& a) { putImage(a[0], a[1], a.bitmap->h, a[2]); }},
        {"putLetter", "xySc", [](Args& a) { putLetter(a[0], a[1], a.bitmap->h, a[2]); }},
        {"PutAggregate", "xySp2", [](Args& a) { ZelBitmap::PutAggregate(a[0], a[1], a[2], a[3], a.bitmap->h, a[4]); }},
        }, {
        {"getImage", "uvqq2", [this](Args& a) { capture(a); }},
        }, {
        {"ZelBitmap::put", "xycS", [](Args& a) { a.bitmap->h->put({a[0], a[1]}, a[2], ZelBitmap::Screen); }},
        {"ZelBitmap::zoom", "SzP", [](Args& a) { a.bitmap->h->zoom({a[1], a[2]}, a[0], ZelBitmap::Screen); }},
        }, {
        zoom("bmpZoomImage", bmpZoomImage), zoom("bmpZoomFlipImage", bmpZoomFlipImage),
        zoom("bmpZoomInvImage", bmpZoomInvImage), zoom("bmpZoomInvFlipImage", bmpZoomInvFlipImage),
        {"PutAggregateScale", "SpzP",
         [](Args& a) { ZelBitmap::PutAggregateScale(a[3], a[4], a[0], a[1], a.bitmap->h, a[2]); }},
        }, {
        scale("bmpZoomImageScale", bmpZoomImageScale), scale("bmpZoomImageScaleRot90", bmpZoomImageScaleRot90),
        scale("bmpZoomImageScaleRot180", bmpZoomImageScaleRot180),
        scale("bmpZoomImageScaleRot270", bmpZoomImageScaleRot270),
        scale("bmpZoomImageScaleMap", bmpZoomImageScaleMap), scale("bmpZoomImageScaleMapRot90", bmpZoomImageScaleMapRot90),
        scale("bmpZoomImageScaleMapRot180", bmpZoomImageScaleMapRot180),
        scale("bmpZoomImageScaleMapRot270", bmpZoomImageScaleMapRot270),
        }, {
        {"bmpRotImage", "uvSar", [](Args& a) { bmpRotImage(a[0], a[1], a.bitmap->h, a[2], a[3]); }},
        }, {
        {"bmpSideFill", "", [this](Args& a) { texturedFill(a, true); }},
        {"bmpFloorFill", "", [this](Args& a) { texturedFill(a, false); }},
        }, {
        {"putShadedBar", "xywwh", [](Args& a) { ZelVideo::putShadedBar(a[0], a[1], a[2], a[3], a[4]); }},
        {"putShadedImage", "xyM", [](Args& a) { ZelVideo::putShadedImage(a[0], a[1], a.bitmap->h); }},
        {"bmpZoomShadedImage", "MzP", [](Args& a) { ZelVideo::bmpZoomShadedImage(a[1], a[2], a.bitmap->h, a[0]); }},
        {"bmpZoomShadedImage", "MzPc",
         [](Args& a) { ZelVideo::bmpZoomShadedImage(a[1], a[2], a.bitmap->h, a[0], a[3]); }},
        shadeScale("bmpZoomImageShadeScale", ZelVideo::bmpZoomImageShadeScale),
        shadeScale("bmpZoomImageShadeScaleRot90", ZelVideo::bmpZoomImageShadeScaleRot90),
        shadeScale("bmpZoomImageShadeScaleRot180", ZelVideo::bmpZoomImageShadeScaleRot180),
        shadeScale("bmpZoomImageShadeScaleRot270", ZelVideo::bmpZoomImageShadeScaleRot270),
        }, {
        {"ZelFont::put", "xytc", [](Args& a) { ZelFont::put(a[0], a[1], a.text.c_str(), a[2]); }},
        {"ZelFont::putFormat", "xytcc", [](Args& a) { ZelFont::putFormat(a[0], a[1], a.text.c_str(), a[2], a[3]); }},
        {"ZelFont::putFormatEx", "xytccc2",
         [](Args& a) { ZelFont::putFormatEx(a[0], a[1], a.text.c_str(), a[2], a[3], a[4], a[5] ? -1 : 0); }},
        {"ZelFont::countVisibleChars", "t", [this](Args& a) { measure(a, ZelFont::countVisibleChars); }},
        {"ZelFont::countVisibleWords", "t", [this](Args& a) { measure(a, ZelFont::countVisibleWords); }},

        },
    };
}

void RandomDrawing::polygons(Args& a, void (*fill)(Poly*), bool clockwise)
{
    // At times the vertices lie anywhere, the ends of the int range included,
    // where mapping and clamping wrap as defined and may reverse a row.
    const bool anywhere = chance(10), far = chance(15);
    const int32_t span = chance(85) ? between(1, 2 * width_) : between(1, 20000);
    // A centre whose points all fit the int range, so that they never collapse onto one row.
    auto centre = [&](Axis axis) {
        const int64_t at = blitCoord(axis) + (far ? int64_t{between(-30000, 30000)} : 0);
        return std::clamp<int64_t>(at, int64_t{INT32_MIN} + span, int64_t{INT32_MAX} - span);
    };
    const int64_t cx = centre(X), cy = centre(Y);
    auto around = [&](int64_t c) { return static_cast<int32_t>(c + between(-span, span)); };
    std::vector<ZelVector2> vertices = polygon([&] {
        return anywhere ? ZelVector2{anyCoord(X), anyCoord(Y)} : ZelVector2{around(cx), around(cy)};
    });
    if (!clockwise)
        std::reverse(vertices.begin(), vertices.end());
    std::vector<int32_t> record = polyRecord(vertices);
    defaultColor = static_cast<unsigned char>(below(256));
    CoutCapture out;
    fill(reinterpret_cast<Poly*>(record.data()));
    a.show(polyText(vertices) + " in " + std::to_string(defaultColor));
    if (!out.text().empty())
        a.answer = " printed " + quoted(out.text());
}

// scanPoly with fillPoly, and the two Gouraud fills over edges traced here,
// all on polygons inside the region in bitmap coordinates: these draw
// without clipping.
void RandomDrawing::directFill(Args& a, int which)
{
    if (regionEmpty())
        return a.show("nothing: the region is empty");
    const ZelClipRgn& r = region();
    const std::vector<ZelVector2> vertices =
        polygon([&] { return ZelVector2{between(r.left, r.right), between(r.top, r.bottom)}; });
    defaultColor = static_cast<unsigned char>(below(256));
    a.show(polyText(vertices) + " in " + std::to_string(defaultColor));
    if (which == 0) {
        std::vector<int32_t> record = polyRecord(vertices);
        scanPoly(reinterpret_cast<Poly*>(record.data()));
        return fillPoly();
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
    // 32-bit wrap, anything; at times one level everywhere.
    std::vector<int32_t> intensity(vertices.size());
    for (int32_t& i : intensity)
        i = static_cast<int32_t>(pick({{25, 0, 60 * 65536}, {50, 0, 256 * 65536}, {75, 0x7fff0000, 0x8001ffff}, {100, 0, UINT32_MAX}}));
    if (chance(15))
        std::fill(intensity.begin(), intensity.end(), intensity[0]);
    for (int32_t i : intensity)
        a.add(i);
    const int32_t y0 = vertices[top].y;
    polyStartIndex = 0;
    polyStopIndex = vertices[bottom].y - y0;
    for (int side = 1; side >= 0; --side) {
        const int32_t step = side ? 1 : n - 1;
        for (int32_t p = top; p != bottom; p = (p + step) % n) {
            const int32_t q = (p + step) % n;
            scanSideGouraud(vertices[p].x, vertices[p].y - y0, intensity[p], vertices[q].x, vertices[q].y - y0,
                            intensity[q], static_cast<unsigned char>(side));
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
}

// The capture changes nothing (the run sees every pixel it writes) and holds
// the screen's pixels wherever its rectangle lies inside the region.
void RandomDrawing::capture(Args& a)
{
    const int32_t w = a[2], h = a[3];
    const bool reuse = a[4] != 0;
    // A bitmap of the same pixel count keeps its own header: give it one of
    // the same shape or none.
    if (const Bitmap* old = captured_.get();
        reuse && old && int64_t{old->width} * old->height == int64_t{w} * h && (old->width != w || old->height != h))
        captured_.release();
    HClass<Bitmap> got = getImage(a[0], a[1], w, h, reuse ? captured_ : HClass<Bitmap>());
    const Bitmap* b = got.get();
    if (!b || b->width != w || b->height != h) {
        problem_ = "the capture is missing or has another size";
    } else {
        const ZelClipRgn& r = region();
        const int64_t left = int64_t{r.left} + r.originX + a[0], top = int64_t{r.top} + r.originY + a[1];
        for (int64_t y = std::max<int64_t>(top, 0); y < std::min<int64_t>(top + h, height_); ++y)
            for (int64_t x = std::max<int64_t>(left, 0); x < std::min<int64_t>(left + w, width_); ++x)
                if (r.contains(static_cast<int32_t>(x), static_cast<int32_t>(y)) &&
                    b->pixels()[(y - top) * w + x - left] != screen_.pixels()[y * width_ + x])
                    problem_ = "captured pixel " + std::to_string(x - left) + "," + std::to_string(y - top) + " is wrong";
    }
    if (reuse)
        captured_ = got;
    else
        got.release();
}

// Spans prepared inside the region, as the fills draw them unclipped.
void RandomDrawing::texturedFill(Args& a, bool side)
{
    if (regionEmpty())
        return a.show("nothing: the region is empty");
    const ZelClipRgn& r = region();
    // Lines are columns for the side fill, rows for the floor fill.
    const int32_t lineLo = side ? r.left : r.top, lineHi = side ? r.right : r.bottom;
    const int32_t spanLo = side ? r.top : r.left, spanHi = side ? r.bottom : r.right - 1;
    const int32_t first = between(lineLo, lineHi - 1);
    const int32_t lines = between(1, lineHi - first);
    const int32_t start = between(0, 20);
    Point* spans = polyBuffer.get();
    for (int32_t k = 0; k < lines; ++k) {
        const int32_t p = between(spanLo, spanHi), q = between(spanLo, spanHi);
        spans[start + k] = chance(90) ? Point{{std::min(p, q), std::max(p, q)}} : Point{{p, q}};
    }
    polyMinY = first;
    polyStartIndex = start;
    polyStopIndex = start + lines - 1;
    zoomFactor = static_cast<unsigned char>(chance(80) ? 8 : between(0, 31));
    const int32_t reach = chance(80) ? 2048 : 1 << 20;
    int p[3] = {between(-reach, reach), between(-reach, reach), between(-reach, reach)};
    for (char kind : std::string_view(side ? "nmaT" : "nma"))
        arg(kind, a);
    for (int64_t v : {int64_t{p[0]}, int64_t{p[1]}, int64_t{p[2]}, int64_t{zoomFactor}, int64_t{first}, int64_t{lines}})
        a.add(v);
    if (!side)
        return bmpFloorFill(a[0], a[1], p, textures_[0]->h, a[2]);
    const uint32_t limit = static_cast<uint32_t>(chance(80) ? between(64, 4096) : between(0, 64));
    a.add(limit);
    bmpSideFill(a[0], a[1], p, a.bitmap->h, a[2], limit);
}

// Measuring draws nothing; a line cut never reaches past the text.
void RandomDrawing::measure(Args& a, const char* (*count)(const char*, int&, int))
{
    const char* s = a.text.c_str();
    int counted = -1;
    a.add(between(-5, 100));
    const char* rest = count(s, counted, a[0]);
    if (counted < 0 || static_cast<size_t>(counted) > a.text.size() || (rest && (rest < s || rest > s + a.text.size())))
        problem_ = "a line cut outside the text";
    a.answer = " = " + std::to_string(counted) + (rest ? " up to " + std::to_string(rest - s) : "") + ", " +
               std::to_string(ZelFont::getWidth(s)) + " x " + std::to_string(ZelFont::getHeight(s));
}

}  // namespace zeltest
