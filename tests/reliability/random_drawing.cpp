// The state and the random choices of a long run: the bitmaps, font and
// shade tables it draws with, its regions, the arguments of each kind and
// the pick of a call.

#include "random_drawing.h"

#include <algorithm>
#include <climits>
#include <cstring>

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
        if (first < INT32_MIN || first + int64_t{size} * 65536 / zoom > INT32_MAX || (first < lo && (hi - first) * zoom > INT32_MAX))
            return false;
    }
    return true;
}

// The convex hull of points, clockwise as the screen shows it (rows grow
// downward), without collinear vertices.
std::vector<ZelVector2> convexHull(std::vector<ZelVector2> points)
{
    std::sort(points.begin(), points.end(), [](auto& a, auto& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
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

}  // namespace

RandomDrawing::RandomDrawing(uint32_t seed, const GuardedScreen& screen)
    : screen_(screen),
      width_(screen.setup().bitmap().width),
      height_(screen.setup().bitmap().height),
      rng_(seed),
      saved_(ZelVideo::shadeDark, ZelVideo::shadeLight, defaultColor, currentXPos, currentYPos, zoomFactor,
             videoStatistics),
      calls_(calls())
{
    for (auto* table : {&dark_, &light_}) {
        table->resize(ZelShadeTableBytes);
        std::generate(table->begin(), table->end(), [this] { return static_cast<unsigned char>(rng_()); });
    }
    ZelVideo::shadeDark = dark_.data();
    ZelVideo::shadeLight = light_.data();
    std::vector<FontGlyph> glyphs;
    for (char code : glyphCodes_)
        glyphs.emplace_back(static_cast<unsigned char>(code), randomPicture(rng_, between(1, 7), between(1, 9), 3));
    ZelFont::setFont(loadFont(fontFile(glyphs)));

    auto make = [this](std::vector<std::unique_ptr<TestBitmap>>& pool, int32_t w, int32_t h) {
        pool.push_back(std::make_unique<TestBitmap>(w, h));
        const Picture p = randomPicture(rng_, w, h, 3);
        std::memcpy(pool.back()->h->pixels(), p.pixels.data(), p.pixels.size());
        return pool.back()->h.get();
    };
    for (auto [w, h] : {std::pair{0, 0}, {1, 1}, {13, 7}, {16, 16}, {32, 8}, {40, 33}, {7, 40}, {64, 3}, {3, 64}, {25, 25}})
        if (ZelBitmap* b = make(sprites_, w, h); chance(50))
            b->createLineIndexes();
    for (auto [w, h] : {std::pair{1, 1}, {9, 5}, {16, 16}, {30, 20}, {8, 33}}) {
        ZelBitmap* b = make(masks_, w, h);
        for (int32_t i = 0; i < w * h; ++i)
            b->pixels()[i] = static_cast<unsigned char>(chance(30) ? 0 : shade());
    }
    for (auto [w, h] : {std::pair{64, 64}, {16, 16}, {32, 8}, {8, 32}, {1, 4}})
        make(textures_, w, h);
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

int64_t RandomDrawing::pick(std::initializer_list<std::array<int64_t, 3>> ranges)
{
    const int64_t roll = below(100);
    for (auto [upTo, lo, hi] : ranges)
        if (roll < upTo)
            return lo + static_cast<int64_t>(rng_() % static_cast<uint64_t>(hi - lo + 1));
    return 0;
}

int32_t RandomDrawing::near(Axis axis)
{
    const ZelClipRgn& r = region();
    const int32_t extent = axis == X ? width_ : height_;
    const int32_t inside = axis == X ? r.right - r.left : r.bottom - r.top;
    // On the region's edges, inside it or around it, as the drawing
    // coordinates see it: its first column or row lies at minus the origin.
    const int32_t edges[] = {-1, 0, inside - 1, inside};
    const int64_t at = chance(25) ? edges[below(4)] : pick({{53, -2, inside + 1}, {100, -extent / 2, extent + extent / 2}});
    return static_cast<int32_t>(static_cast<uint32_t>(at) - static_cast<uint32_t>(axis == X ? r.originX : r.originY));
}

int32_t RandomDrawing::anyCoord(Axis axis)
{
    const uint32_t kind = below(100);
    if (kind < 87)
        return static_cast<int32_t>(static_cast<uint32_t>(near(axis)) + (kind < 80 ? 0 : between(-100000, 100000)));
    const int32_t ends[] = {INT32_MIN, INT32_MIN + 1, INT32_MAX - 1, INT32_MAX};
    return kind < 95 ? between(INT32_MIN, INT32_MAX) : ends[below(4)];
}

int32_t RandomDrawing::blitCoord(Axis axis)
{
    return static_cast<int32_t>(static_cast<uint32_t>(near(axis)) + (chance(85) ? 0 : between(-1000000, 1000000)));
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
    return false;
}

std::vector<ZelVector2> RandomDrawing::polygon(const std::function<ZelVector2()>& point)
{
    std::vector<ZelVector2> vertices;
    while (std::all_of(vertices.begin(), vertices.end(), [&](auto& v) { return v.y == vertices[0].y; })) {
        std::vector<ZelVector2> points(between(2, 8));
        std::generate(points.begin(), points.end(), point);
        vertices = convexHull(points);
    }
    return vertices;
}

// Kinds of argument: x y any coordinate, X Y at times the same as two
// arguments before, u v a blit coordinate, n m near the region, s a size
// (mostly small, at times 0, negative or huge), c a byte, h a shade value
// (mostly a level of the tables, at times past them), z a zoom step, a an
// angle, e a scale, r a rotation's zoom, w a shaded bar's side, q a
// capture's side, S M T a sprite, mask or texture, p an aggregate piece of
// it, P a point for zooming it by the step before, t a text, a digit d a
// number below d.
void RandomDrawing::arg(char kind, Args& a)
{
    auto add = [&a](int64_t v) { a.add(v); };
    auto bitmap = [&](const std::vector<std::unique_ptr<TestBitmap>>& pool, const char* what) {
        a.bitmap = pool[below(static_cast<uint32_t>(pool.size()))].get();
        const Bitmap& b = *a.bitmap->h.get();
        a.show(std::string(what) + " " + std::to_string(b.width) + "x" + std::to_string(b.height) + " at " +
               std::to_string(b.originX) + "," + std::to_string(b.originY));
    };
    const Axis axis = std::strchr("xXun", kind) ? X : Y;
    const int32_t w = width_;
    switch (kind) {
    case 'x': case 'y': return add(anyCoord(axis));
    case 'X': case 'Y': return add(chance(20) ? a.v[a.n - 2] : anyCoord(axis));
    case 'u': case 'v': return add(blitCoord(axis));
    case 'n': case 'm': return add(near(axis));
    case 's': return add(pick({{50, 1, w / 2}, {65, w / 2, 2 * w}, {80, -5, 4}, {95, INT32_MIN, INT32_MAX}, {98, INT32_MAX, INT32_MAX}, {100, INT32_MIN, INT32_MIN}}));
    case 'c': return add(below(256));
    case 'h': return add(shade());
    case 'z': return add(pick({{70, 8192, 4 * 65536}, {85, 1, 8191}, {98, 4 * 65536, INT32_MAX}, {100, INT32_MAX, UINT32_MAX}}));
    case 'a': return add(rng_());
    case 'e': return add(pick({{70, 13, 19}, {100, 0, 30}}));
    case 'r': return add(pick({{90, 1024, 4 * 65536}, {100, 4 * 65536, INT32_MAX}}));
    case 'w': return add(pick({{90, 0, 2 * w}, {100, 0, INT32_MAX}}));
    case 'q': return add(between(0, 50));
    case 'S': return bitmap(sprites_, "sprite");
    case 'M': return bitmap(masks_, "mask");
    case 'T': return bitmap(textures_, "texture");
    case 'p': {
        // Whole rows at a byte offset, at times reaching past the pixels or starting outside them.
        const Bitmap& b = *a.bitmap->h.get();
        a.rows = between(0, b.height);
        const bool inside = chance(90);
        add(inside ? between(0, b.width * (b.height - a.rows)) : between(-b.width - 2, b.width * b.height + 2));
        return add(a.rows = inside ? a.rows : between(0, b.height + 3));
    }
    case 'P': {
        const Bitmap& b = *a.bitmap->h.get();
        int32_t x = 0, y = 0;
        a.skip = !zoomPoint(b, a.rows >= 0 ? a.rows : b.height, static_cast<uint32_t>(a.v[a.n - 1]), x, y);
        add(x);
        return add(y);
    }
    case 't': {
        const std::string others = " \t\n#\xe9";
        for (uint32_t n = below(25); n > 0; --n)
            a.text += chance(75) ? glyphCodes_[below(static_cast<uint32_t>(glyphCodes_.size()))] : others[below(5)];
        return a.show(quoted(a.text));
    }
    default: return add(below(static_cast<uint32_t>(kind - '0')));
    }
}

std::string RandomDrawing::quoted(const std::string& text)
{
    std::string s = "\"";
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\')
            s += static_cast<char>(c);
        else
            s.append("\\").append(std::to_string(c));
    }
    return s + '"';
}

std::string RandomDrawing::newRegion()
{
    const int32_t w = width_, h = height_;
    int32_t left = 0, top = 0, right = w, bottom = h;
    const uint32_t shape = below(100);
    if (shape < 50) {
        // Most of the screen, at times up to its edges.
        left = static_cast<int32_t>(pick({{30, 0, 0}, {100, 0, w / 3}}));
        right = static_cast<int32_t>(pick({{30, w, w}, {100, 2 * w / 3, w}}));
        top = static_cast<int32_t>(pick({{30, 0, 0}, {100, 0, h / 3}}));
        bottom = static_cast<int32_t>(pick({{30, h, h}, {100, 2 * h / 3, h}}));
    } else if (shape < 80) {
        // Anywhere on the screen; at times empty, with no column or no row.
        left = between(0, w);
        right = shape < 75 || chance(50) ? between(left, w) : left;
        top = between(0, h);
        bottom = shape < 75 || right == left ? between(top, h) : top;
    } else if (shape < 92) {
        // Reaching past the Screen on some sides, at times to the ends of the int range.
        left = static_cast<int32_t>(pick({{25, 0, w / 2}, {50, INT32_MIN, INT32_MIN}, {100, -40, 0}}));
        top = static_cast<int32_t>(pick({{25, 0, h / 2}, {50, INT32_MIN, INT32_MIN}, {100, -40, 0}}));
        right = static_cast<int32_t>(pick({{25, w / 2, w}, {50, INT32_MAX, INT32_MAX}, {100, w, w + 40}}));
        bottom = static_cast<int32_t>(pick({{25, h / 2, h}, {50, INT32_MAX, INT32_MAX}, {100, h, h + 40}}));
    }
    Args a;
    for (int64_t v : {left, top, right, bottom})
        a.add(v);
    for (int axis = 0; axis < 2; ++axis)
        a.add(pick({{20, 0, 0}, {70, -10, 10}, {90, -300, 300}, {97, -2000000, 2000000}, {100, INT32_MIN, INT32_MAX}}));
    screen_.setup().setRegion(left, top, right, bottom, a[4], a[5]);
    // The bitmaps' origin points move too; a mask's stays at 0 or more.
    for (auto* pool : {&sprites_, &textures_, &masks_}) {
        for (const auto& bitmap : *pool) {
            bitmap->h->originX = between(pool == &masks_ ? 0 : -20, 60);
            bitmap->h->originY = between(pool == &masks_ ? 0 : -20, 60);
        }
    }
    if (chance(25)) {
        const Picture p = randomPicture(rng_, w, h, 4);
        std::memcpy(screen_.pixels(), p.pixels.data(), p.pixels.size());
    }
    return "region(" + a.shown + ")";
}

std::string RandomDrawing::call()
{
    problem_.clear();
    undo_ = nullptr;
    const std::vector<Call>& family = calls_[below(static_cast<uint32_t>(calls_.size()))];
    const Call& c = family[below(static_cast<uint32_t>(family.size()))];
    Args a;
    for (const char* kind = c.kinds; *kind; ++kind)
        arg(*kind, a);
    if (a.skip)
        return std::string(c.name) + ": no position inside the contract";
    c.run(a);
    if (c.repeatUndoes)
        undo_ = [&c, a]() mutable { c.run(a); };
    return std::string(c.name) + "(" + a.shown + ")" + a.answer;
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
