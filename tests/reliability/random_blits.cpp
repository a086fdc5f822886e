// The families of blits, textured fills, shaded blits and text of a long run.

#include <algorithm>
#include <climits>

#include "bitmap/blit.h"
#include "blit/rotate.h"
#include "blit/scale.h"
#include "blit/textured_fill.h"
#include "blit/zoom.h"
#include "call_text.h"
#include "draw/poly.h"
#include "font/font.h"
#include "random_drawing.h"
#include "video/screen.h"

namespace zeltest {

std::string RandomDrawing::imageBlits()
{
    const TestBitmap& sprite = pick(sprites_);
    const int32_t x = anyCoord(X), y = anyCoord(Y);
    const unsigned char byte = colour();
    switch (below(3)) {
    case 0:
        putImage(x, y, sprite.h, byte);
        return describe("putImage", x, y, bitmapText("sprite", sprite), byte);
    case 1:
        putLetter(x, y, sprite.h, byte);
        return describe("putLetter", x, y, bitmapText("sprite", sprite), byte);
    default: {
        const auto [offset, rows] = piece(*sprite.h.get());
        const unsigned char mode = static_cast<unsigned char>(byte & 1);
        ZelBitmap::PutAggregate(x, y, offset, rows, sprite.h, mode);
        return describe("PutAggregate", x, y, offset, rows, bitmapText("sprite", sprite), mode);
    }
    }
}

// The capture must change nothing and hold the screen's pixels wherever its
// rectangle lies inside the region.
std::string RandomDrawing::capture()
{
    const int32_t x = blitCoord(X), y = blitCoord(Y);
    const int32_t w = between(0, 50), h = between(0, 50);
    const std::vector<unsigned char> before(screen_.pixels(), screen_.pixels() + screen_.size());
    const bool reuse = chance(70);
    // A bitmap of the same pixel count keeps its own header: give it one of
    // the same shape or none.
    if (const Bitmap* old = captured_.get(); reuse && old && int64_t{old->width} * old->height == int64_t{w} * h &&
                                             (old->width != w || old->height != h))
        captured_.release();
    HClass<Bitmap> got = getImage(x, y, w, h, reuse ? captured_ : HClass<Bitmap>());
    const std::string what = describe("getImage", x, y, w, h, reuse ? "reusing" : "new");
    if (reuse)
        captured_ = got;
    const Bitmap* b = got.get();
    if (!b) {
        problem_ = "no bitmap came back";
        return what;
    }
    if (!std::equal(before.begin(), before.end(), screen_.pixels()))
        problem_ = "the capture changed the screen";
    const ZelClipRgn& r = region();
    const int64_t left = int64_t{r.left} + r.originX + x, top = int64_t{r.top} + r.originY + y;
    if (b->width != w || b->height != h) {
        problem_ = "the capture has another size";
    } else if (left >= INT32_MIN && left + w <= INT32_MAX && top >= INT32_MIN && top + h <= INT32_MAX) {
        for (int32_t j = 0; j < h && problem_.empty(); ++j)
            for (int32_t i = 0; i < w && problem_.empty(); ++i)
                if (r.contains(static_cast<int32_t>(left + i), static_cast<int32_t>(top + j)) &&
                    b->pixels()[j * w + i] != before[(top + j) * width_ + left + i])
                    problem_ = "captured pixel " + std::to_string(i) + "," + std::to_string(j) + " is wrong";
    }
    if (!reuse)
        got.release();
    return what;
}

std::string RandomDrawing::memberBlits()
{
    const TestBitmap& sprite = pick(sprites_);
    if (chance(50)) {
        const ZelVector2 pos{anyCoord(X), anyCoord(Y)};
        const unsigned char mode = colour();
        sprite.h->put(pos, mode, ZelBitmap::Screen);
        return describe("ZelBitmap::put", pos.x, pos.y, mode, bitmapText("sprite", sprite));
    }
    const uint32_t zoom = zoomStep();
    int32_t x = 0, y = 0;
    if (!zoomPoint(*sprite.h.get(), sprite.h->height, zoom, x, y))
        return "ZelBitmap::zoom: no position inside the contract";
    sprite.h->zoom({x, y}, zoom, ZelBitmap::Screen);
    return describe("ZelBitmap::zoom", x, y, zoom, bitmapText("sprite", sprite));
}

std::string RandomDrawing::zoomBlits()
{
    const TestBitmap& sprite = pick(sprites_);
    const ZelBitmap* b = sprite.h.get();
    const uint32_t zoom = zoomStep();
    const uint32_t which = below(5);
    const auto [offset, rows] = piece(*b);
    int32_t x = 0, y = 0;
    if (!zoomPoint(*b, which == 4 ? rows : b->height, zoom, x, y))
        return "zoom blit: no position inside the contract";
    static constexpr void (*blits[])(int, int, HClass<Bitmap>, unsigned int) = {
        bmpZoomImage, bmpZoomFlipImage, bmpZoomInvImage, bmpZoomInvFlipImage};
    static const char* const names[] = {"bmpZoomImage", "bmpZoomFlipImage", "bmpZoomInvImage",
                                        "bmpZoomInvFlipImage"};
    if (which == 4) {
        ZelBitmap::PutAggregateScale(x, y, offset, rows, sprite.h, static_cast<int>(zoom));
        return describe("PutAggregateScale", x, y, offset, rows, bitmapText("sprite", sprite), zoom);
    }
    blits[which](x, y, sprite.h, zoom);
    return describe(names[which], x, y, bitmapText("sprite", sprite), zoom);
}

std::string RandomDrawing::scaleBlits()
{
    static constexpr void (*blits[])(int, int, HClass<Bitmap>, unsigned char) = {
        bmpZoomImageScale,    bmpZoomImageScaleRot90,    bmpZoomImageScaleRot180,    bmpZoomImageScaleRot270,
        bmpZoomImageScaleMap, bmpZoomImageScaleMapRot90, bmpZoomImageScaleMapRot180, bmpZoomImageScaleMapRot270};
    static const char* const names[] = {
        "bmpZoomImageScale",    "bmpZoomImageScaleRot90",    "bmpZoomImageScaleRot180",    "bmpZoomImageScaleRot270",
        "bmpZoomImageScaleMap", "bmpZoomImageScaleMapRot90", "bmpZoomImageScaleMapRot180", "bmpZoomImageScaleMapRot270"};
    const TestBitmap& sprite = pick(sprites_);
    const int32_t x = blitCoord(X), y = blitCoord(Y);
    const unsigned char s = static_cast<unsigned char>(chance(70) ? between(13, 19) : between(0, 30));
    const uint32_t which = below(8);
    blits[which](x, y, sprite.h, s);
    return describe(names[which], x, y, bitmapText("sprite", sprite), s);
}

std::string RandomDrawing::rotation()
{
    const TestBitmap& sprite = pick(sprites_);
    const int32_t x = blitCoord(X), y = blitCoord(Y);
    const uint32_t angle = static_cast<uint32_t>(rng_());
    const int32_t zoom = chance(90) ? between(1024, 4 * 65536) : between(4 * 65536, INT32_MAX);
    bmpRotImage(x, y, sprite.h, angle, zoom);
    return describe("bmpRotImage", x, y, bitmapText("sprite", sprite), angle, zoom);
}

// Spans prepared inside the region, as the fills draw them unclipped.
std::string RandomDrawing::texturedFills()
{
    if (regionEmpty())
        return "no textured fill into an empty region";
    const ZelClipRgn& r = region();
    const bool side = chance(50);
    // Lines are columns for the side fill, rows for the floor fill.
    const int32_t lineLo = side ? r.left : r.top, lineHi = side ? r.right : r.bottom;
    const int32_t spanLo = side ? r.top : r.left, spanHi = side ? r.bottom : r.right - 1;
    const int32_t first = between(lineLo, lineHi - 1);
    const int32_t lines = between(1, lineHi - first);
    const int32_t start = between(0, 20);
    Point* spans = polyBuffer.get();
    for (int32_t k = 0; k < lines; ++k) {
        const int32_t a = between(spanLo, spanHi), b = between(spanLo, spanHi);
        spans[start + k] = chance(90) ? Point{{std::min(a, b), std::max(a, b)}} : Point{{a, b}};
    }
    polyMinY = first;
    polyStartIndex = start;
    polyStopIndex = start + lines - 1;
    zoomFactor = static_cast<unsigned char>(chance(80) ? 8 : between(0, 31));
    const int32_t reach = chance(80) ? 2048 : 1 << 20;
    int p[3] = {between(-reach, reach), between(-reach, reach), between(-reach, reach)};
    const int32_t x = near(X), y = near(Y);
    const uint32_t angle = static_cast<uint32_t>(rng_());
    const std::string where = describe("", x, y, p[0], p[1], p[2], angle, "zoomFactor", zoomFactor) + " over " +
                              std::to_string(lines) + (side ? " columns from " : " rows from ") +
                              std::to_string(first);
    if (side) {
        const TestBitmap& texture = pick(textures_);
        const uint32_t limit = static_cast<uint32_t>(chance(80) ? between(64, 4096) : between(0, 64));
        bmpSideFill(x, y, p, texture.h, angle, limit);
        return "bmpSideFill" + where + describe(" limit", limit, bitmapText("texture", texture));
    }
    bmpFloorFill(x, y, p, textures_[0]->h, angle);
    return "bmpFloorFill" + where;
}

std::string RandomDrawing::shadedBlits()
{
    const uint32_t which = below(6);
    if (which == 0) {
        const int32_t x = anyCoord(X), y = anyCoord(Y);
        const int32_t w = chance(90) ? between(0, 2 * width_) : between(0, INT32_MAX);
        const int32_t h = chance(90) ? between(0, 2 * height_) : between(0, INT32_MAX);
        const signed char s = shade();
        ZelVideo::putShadedBar(x, y, w, h, s);
        return describe("putShadedBar", x, y, w, h, s);
    }
    if (which == 1) {
        const TestBitmap& mask = pick(masks_);
        const int32_t x = anyCoord(X), y = anyCoord(Y);
        ZelVideo::putShadedImage(x, y, mask.h);
        return describe("putShadedImage", x, y, bitmapText("mask", mask));
    }
    if (which == 2) {
        const TestBitmap& mask = pick(masks_);
        const uint32_t zoom = zoomStep();
        int32_t x = 0, y = 0;
        if (!zoomPoint(*mask.h.get(), mask.h->height, zoom, x, y))
            return "bmpZoomShadedImage: no position inside the contract";
        const uint32_t n = below(200);
        if (chance(50)) {
            ZelVideo::bmpZoomShadedImage(x, y, mask.h, zoom);
            return describe("bmpZoomShadedImage", x, y, bitmapText("mask", mask), zoom);
        }
        ZelVideo::bmpZoomShadedImage(x, y, mask.h, zoom, n);
        return describe("bmpZoomShadedImage", x, y, bitmapText("mask", mask), zoom, n);
    }
    static constexpr void (*blits[])(int, int, HClass<Bitmap>, unsigned char, signed char) = {
        ZelVideo::bmpZoomImageShadeScale, ZelVideo::bmpZoomImageShadeScaleRot90,
        ZelVideo::bmpZoomImageShadeScaleRot180, ZelVideo::bmpZoomImageShadeScaleRot270};
    static const char* const names[] = {"bmpZoomImageShadeScale", "bmpZoomImageShadeScaleRot90",
                                        "bmpZoomImageShadeScaleRot180", "bmpZoomImageShadeScaleRot270"};
    const TestBitmap& sprite = pick(sprites_);
    const int32_t x = blitCoord(X), y = blitCoord(Y);
    const unsigned char s = static_cast<unsigned char>(chance(70) ? between(13, 19) : between(0, 30));
    const signed char level = shade();
    const uint32_t form = which == 5 ? 2 + below(2) : which - 3;
    blits[form](x, y, sprite.h, s, level);
    return describe(names[form], x, y, bitmapText("sprite", sprite), s, level);
}

std::string RandomDrawing::textOutput()
{
    const std::string s = text();
    const int32_t x = anyCoord(X), y = anyCoord(Y);
    const unsigned char c = colour(), format = colour(), shadow = colour();
    switch (below(4)) {
    case 0:
        ZelFont::put(x, y, s.c_str(), c);
        return describe("ZelFont::put", x, y, quoted(s), c);
    case 1:
        ZelFont::putFormat(x, y, s.c_str(), format, c);
        return describe("ZelFont::putFormat", x, y, quoted(s), format, c);
    case 2: {
        const int font = chance(50) ? -1 : 0;
        ZelFont::putFormatEx(x, y, s.c_str(), format, c, shadow, font);
        return describe("ZelFont::putFormatEx", x, y, quoted(s), format, c, shadow, font);
    }
    default: {
        // Measuring draws nothing; a line cut never reaches past the text.
        int count = -1;
        const int32_t maxWidth = between(-5, 100);
        const char* rest = chance(50) ? ZelFont::countVisibleChars(s.c_str(), count, maxWidth)
                                      : ZelFont::countVisibleWords(s.c_str(), count, maxWidth);
        if (count < 0 || static_cast<size_t>(count) > s.size() || (rest && (rest < s.c_str() || rest > s.c_str() + s.size())))
            problem_ = "a line cut outside the text";
        if (ZelFont::getWidth(s.c_str()) < 0 || ZelFont::getHeight(s.c_str()) < 0)
            problem_ = "a negative measure";
        return describe("countVisible", quoted(s), maxWidth);
    }
    }
}

}  // namespace zeltest
