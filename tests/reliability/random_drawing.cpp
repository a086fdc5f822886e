// The state and the random choices of a long run: the bitmaps, font and
// shade tables it draws with, its regions, coordinates, sizes and steps, and
// the pick of a family for each call.

#include "random_drawing.h"

#include <climits>
#include <cstring>

#include "call_text.h"
#include "data_files.h"
#include "font/font.h"
#include "shade/shade.h"
#include "video/palette.h"
#include "video/screen.h"

namespace zeltest {

namespace {

// Does one axis of a zoomed blit keep its fixed-point products in 32 bits?
// start is the mapped drawing point, [lo, hi) the region, the bitmap has
// size pixels on this axis and its origin point at origin. Both the plain
// and the mirrored placement are tried.
bool zoomAxisFits(int64_t start, int64_t lo, int64_t hi, int32_t size, int32_t origin, uint32_t zoom)
{
    for (int64_t offset : {-(int64_t{origin} * 65536 / zoom), int64_t{origin - size + 1} * 65536 / zoom}) {
        const int64_t first = start + offset;
        if (first < INT32_MIN || first + int64_t{size} * 65536 / zoom > INT32_MAX)
            return false;
        if (first < lo && (hi - first) * zoom > INT32_MAX)
            return false;
    }
    return true;
}

}  // namespace

RandomDrawing::RandomDrawing(uint32_t seed, const GuardedScreen& screen)
    : screen_(screen),
      width_(screen.setup().bitmap().width),
      height_(screen.setup().bitmap().height),
      rng_(seed),
      saved_(ZelVideo::shadeDark, ZelVideo::shadeLight, defaultColor, currentXPos, currentYPos, zoomFactor,
             videoStatistics)
{
    dark_.resize(ZelShadeTableBytes);
    light_.resize(ZelShadeTableBytes);
    for (size_t i = 0; i < dark_.size(); ++i) {
        dark_[i] = static_cast<unsigned char>(rng_());
        light_[i] = static_cast<unsigned char>(rng_());
    }
    ZelVideo::shadeDark = dark_.data();
    ZelVideo::shadeLight = light_.data();

    std::vector<FontGlyph> glyphs;
    for (char code : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,!")) {
        glyphs.emplace_back(static_cast<unsigned char>(code),
                            randomPicture(rng_, between(1, 7), between(1, 9), 3));
        glyphCodes_ += code;
    }
    ZelFont::setFont(loadFont(fontFile(glyphs)));

    auto make = [this](std::vector<std::unique_ptr<TestBitmap>>& pool, int32_t w, int32_t h, int32_t ox, int32_t oy) {
        pool.push_back(std::make_unique<TestBitmap>(w, h));
        ZelBitmap* b = pool.back()->h.get();
        const Picture p = randomPicture(rng_, w, h, 3);
        std::memcpy(b->pixels(), p.pixels.data(), p.pixels.size());
        b->originX = ox;
        b->originY = oy;
        return b;
    };
    const std::pair<int32_t, int32_t> spriteSizes[] = {{0, 0}, {1, 1},  {13, 7}, {16, 16}, {32, 8},
                                                       {40, 33}, {7, 40}, {64, 3}, {3, 64},  {25, 25}};
    for (auto [w, h] : spriteSizes) {
        ZelBitmap* b = make(sprites_, w, h, between(-20, 60), between(-20, 60));
        if (chance(50))
            b->createLineIndexes();
    }
    for (auto [w, h] : {std::pair{1, 1}, {9, 5}, {16, 16}, {30, 20}, {8, 33}}) {
        ZelBitmap* b = make(masks_, w, h, between(0, 30), between(0, 30));
        for (int32_t i = 0; i < w * h; ++i)
            b->pixels()[i] = chance(30) ? 0 : static_cast<unsigned char>(shade());
    }
    for (auto [w, h] : {std::pair{64, 64}, {16, 16}, {32, 8}, {8, 32}, {1, 4}})
        make(textures_, w, h, between(-8, 40), between(-8, 40));
}

RandomDrawing::~RandomDrawing()
{
    line_.free();
    captured_.release();
    ZelFont::unloadAll();
}

size_t RandomDrawing::heldBlocks() const
{
    return (captured_.resolves() ? 1 : 0) + (line_.buffer.resolves() ? 1 : 0);
}

int32_t RandomDrawing::between(int64_t lo, int64_t hi)
{
    return static_cast<int32_t>(lo + static_cast<int64_t>(rng_() % static_cast<uint64_t>(hi - lo + 1)));
}

int32_t RandomDrawing::near(Axis axis)
{
    const ZelClipRgn& r = region();
    const int32_t extent = axis == X ? width_ : height_;
    const int32_t inside = axis == X ? r.right - r.left : r.bottom - r.top;
    const int32_t origin = axis == X ? r.originX : r.originY;
    // On the region's edges, inside it or around it, as the drawing
    // coordinates see it: its first column or row lies at minus the origin.
    const int32_t edges[] = {-1, 0, inside - 1, inside};
    const uint32_t kind = below(100);
    const int32_t at = kind < 25   ? edges[below(4)]
                       : kind < 65 ? between(-2, inside + 1)
                                   : between(-extent / 2, extent + extent / 2);
    return static_cast<int32_t>(static_cast<uint32_t>(at) - static_cast<uint32_t>(origin));
}

int32_t RandomDrawing::anyCoord(Axis axis)
{
    const uint32_t kind = below(100);
    if (kind < 80)
        return near(axis);
    if (kind < 87)
        return static_cast<int32_t>(static_cast<uint32_t>(near(axis)) + static_cast<uint32_t>(between(-100000, 100000)));
    if (kind < 95)
        return between(INT32_MIN, INT32_MAX);
    const int32_t ends[] = {INT32_MIN, INT32_MIN + 1, INT32_MAX - 1, INT32_MAX};
    return ends[below(4)];
}

int32_t RandomDrawing::blitCoord(Axis axis)
{
    const int32_t at = near(axis);
    return chance(85) ? at : static_cast<int32_t>(static_cast<uint32_t>(at) + static_cast<uint32_t>(between(-1000000, 1000000)));
}

int32_t RandomDrawing::anySize()
{
    const uint32_t kind = below(100);
    if (kind < 50)
        return between(1, width_ / 2);
    if (kind < 65)
        return between(width_ / 2, 2 * width_);
    if (kind < 80)
        return between(-5, 4);
    if (kind < 95)
        return between(INT32_MIN, INT32_MAX);
    return chance(50) ? INT32_MAX : INT32_MIN;
}

uint32_t RandomDrawing::zoomStep()
{
    const uint32_t kind = below(100);
    if (kind < 70)
        return static_cast<uint32_t>(between(8192, 4 * 65536));
    if (kind < 85)
        return static_cast<uint32_t>(between(1, 8191));
    if (kind < 98)
        return static_cast<uint32_t>(between(4 * 65536, INT32_MAX));
    return static_cast<uint32_t>(between(INT32_MAX, UINT32_MAX));
}

bool RandomDrawing::zoomPoint(const Bitmap& b, int32_t height, uint32_t zoom, int32_t& x, int32_t& y)
{
    const ZelClipRgn& r = region();
    if (chance(10)) {
        x = anyCoord(X);
        y = anyCoord(Y);
        return true;
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        x = attempt < 4 ? blitCoord(X) : near(X);
        y = attempt < 4 ? blitCoord(Y) : near(Y);
        if (zoomAxisFits(int64_t{r.left} + r.originX + x, r.left, r.right, b.width, b.originX, zoom) &&
            zoomAxisFits(int64_t{r.top} + r.originY + y, r.top, r.bottom, height, b.originY, zoom))
            return true;
    }
    ++skipped_;
    return false;
}

std::pair<int32_t, int32_t> RandomDrawing::piece(const Bitmap& b)
{
    const int32_t rows = between(0, b.height);
    if (chance(90))
        return {between(0, b.width * (b.height - rows)), rows};
    return {between(-b.width - 2, b.width * b.height + 2), between(0, b.height + 3)};
}

const TestBitmap& RandomDrawing::pick(const std::vector<std::unique_ptr<TestBitmap>>& pool)
{
    return *pool[below(static_cast<uint32_t>(pool.size()))];
}

std::string RandomDrawing::text()
{
    const std::string others = " \t\n#\xe9";
    std::string s;
    for (uint32_t n = below(25); n > 0; --n)
        s += chance(75) ? glyphCodes_[below(static_cast<uint32_t>(glyphCodes_.size()))]
                        : others[below(static_cast<uint32_t>(others.size()))];
    return s;
}

std::string RandomDrawing::newRegion()
{
    int32_t left = 0, top = 0, right = width_, bottom = height_;
    const uint32_t shape = below(100);
    if (shape < 50) {
        // Most of the screen, at times up to its edges.
        left = chance(30) ? 0 : between(0, width_ / 3);
        right = chance(30) ? width_ : between(2 * width_ / 3, width_);
        top = chance(30) ? 0 : between(0, height_ / 3);
        bottom = chance(30) ? height_ : between(2 * height_ / 3, height_);
    } else if (shape < 75) {
        left = between(0, width_);
        right = between(left, width_);
        top = between(0, height_);
        bottom = between(top, height_);
    } else if (shape < 80) {
        // Empty: no column, or no row.
        left = right = between(0, width_);
        top = between(0, height_);
        bottom = between(top, height_);
        if (chance(50)) {
            right = between(left, width_);
            bottom = top;
        }
    } else if (shape < 92) {
        // Reaching past the Screen on some sides, at times to the ends of the int range.
        auto past = [this](int64_t lo, int64_t hi, int32_t end) { return chance(25) ? end : between(lo, hi); };
        left = chance(50) ? past(-40, 0, INT32_MIN) : between(0, width_ / 2);
        top = chance(50) ? past(-40, 0, INT32_MIN) : between(0, height_ / 2);
        right = chance(50) ? past(width_, width_ + 40, INT32_MAX) : between(width_ / 2, width_);
        bottom = chance(50) ? past(height_, height_ + 40, INT32_MAX) : between(height_ / 2, height_);
    }
    auto origin = [this]() -> int32_t {
        const uint32_t kind = below(100);
        if (kind < 20)
            return 0;
        if (kind < 70)
            return between(-10, 10);
        if (kind < 90)
            return between(-300, 300);
        if (kind < 97)
            return between(-2000000, 2000000);
        return between(INT32_MIN, INT32_MAX);
    };
    const int32_t originX = origin(), originY = origin();
    screen_.setup().setRegion(left, top, right, bottom, originX, originY);
    // The bitmaps' origin points move too; a mask's stays at 0 or more.
    for (auto* pool : {&sprites_, &textures_, &masks_}) {
        const int32_t low = pool == &masks_ ? 0 : -20;
        for (const auto& bitmap : *pool) {
            bitmap->h->originX = between(low, 60);
            bitmap->h->originY = between(low, 60);
        }
    }
    if (chance(25)) {
        const Picture p = randomPicture(rng_, width_, height_, 4);
        std::memcpy(screen_.pixels(), p.pixels.data(), p.pixels.size());
    }
    return describe("region", left, top, right, bottom, originX, originY);
}

std::string RandomDrawing::call()
{
    static constexpr Family families[] = {
        &RandomDrawing::pixels,      &RandomDrawing::runs,        &RandomDrawing::lines,
        &RandomDrawing::bars,        &RandomDrawing::boxes,       &RandomDrawing::xorFigures,
        &RandomDrawing::smartLine,   &RandomDrawing::polygons,    &RandomDrawing::directFills,
        &RandomDrawing::imageBlits,  &RandomDrawing::capture,     &RandomDrawing::memberBlits,
        &RandomDrawing::zoomBlits,   &RandomDrawing::scaleBlits,  &RandomDrawing::rotation,
        &RandomDrawing::texturedFills, &RandomDrawing::shadedBlits, &RandomDrawing::textOutput,
    };
    problem_.clear();
    undo_ = nullptr;
    return (this->*families[below(std::size(families))])();
}

bool RandomDrawing::undo()
{
    if (!undo_)
        return false;
    undo_();
    undo_ = nullptr;
    return true;
}

}  // namespace zeltest
