// The scaled and turned blits held to independent models over random cases:
// mirrored and turned copies drawn 1:1, the inverse mapping of a quarter
// turn, regions that cut a picture without shifting it, and the plane
// geometry of the textured fills worked out by hand. Small exact pictures,
// counters and edge cases are in the .scene files beside this one.

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "blit/rotate.h"
#include "blit/scale.h"
#include "blit/textured_fill.h"
#include "blit/zoom.h"
#include "draw/poly.h"
#include "engine/zelmath/zelmath.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using Owned = zeltest::TestBitmap;
using Region = std::array<int, 6>;  // left, top, right, bottom, originX, originY
using zeltest::ScreenSetup;

std::mt19937 rng;
int pick(int n)
{
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}

const int cosOf[4] = {1, 0, -1, 0}, sinOf[4] = {0, 1, 0, -1};  // of the quarter turns

// The Screen's pixels after clearing it to fill and drawing.
std::vector<unsigned char> drawn(const ScreenSetup& s, const std::function<void()>& draw, unsigned char fill = 0)
{
    clrScreen(fill);
    draw();
    return zeltest::pixels(s.bitmap());
}

// Pixels 1..250 with about one in four transparent, and the origin point.
void randomize(const Owned& b, int ox, int oy)
{
    for (int k = 0; k < b->width * b->height; ++k)
        b->pixels()[k] = pick(4) ? static_cast<unsigned char>(1 + pick(250)) : 0;
    b->originX = ox;
    b->originY = oy;
}

void setRegion(const ScreenSetup& s, const Region& r)
{
    s.setRegion(r[0], r[1], r[2], r[3], r[4], r[5]);
}

// A region of at least one pixel on a w x h Screen, with an origin.
Region randomRegion(int w, int h)
{
    const int left = pick(w), top = pick(h);
    return {left, top, left + 1 + pick(w - left), top + 1 + pick(h - top), pick(41) - 20, pick(41) - 20};
}

// Drawn through region r, at a position moved back by the region's offset,
// a picture is the whole Screen's picture inside r and nothing outside it.
testing::AssertionResult cutsWithoutShifting(const ScreenSetup& s, const Region& r,
                                             const std::function<void(int, int)>& draw)
{
    const int w = s.bitmap().width, h = s.bitmap().height;
    s.setRegion(0, 0, w, h);
    const auto whole = drawn(s, [&] { draw(0, 0); }, 255);
    setRegion(s, r);
    const auto cut = drawn(s, [&] { draw(-r[0] - r[4], -r[1] - r[5]); }, 255);
    for (int k = 0; k < w * h; ++k) {
        const bool inside = k % w >= r[0] && k % w < r[2] && k / w >= r[1] && k / w < r[3];
        if (cut[k] != (inside ? whole[k] : 255))
            return testing::AssertionFailure() << "pixel " << k % w << "," << k / w;
    }
    return testing::AssertionSuccess();
}

// The mirrored forms equal the plain form of a mirrored copy whose origin
// point is mirrored with it; a region cuts any form's picture, never shifts it.
TEST(Zoom, MirroredFormsAreMirroredCopiesAndRegionsOnlyCut)
{
    using Blit = void (*)(int, int, HClass<Bitmap>, unsigned int);
    const Blit forms[] = {bmpZoomInvImage, bmpZoomFlipImage, bmpZoomInvFlipImage, bmpZoomImage};
    rng.seed(12);
    ScreenSetup s(48, 40);
    for (int i = 0; i < 400; ++i) {
        const int w = 1 + i % 9, h = 1 + i % 7, form = i % 4;
        const bool mx = form == 0 || form == 2, my = form == 1 || form == 2;
        Owned src(w, h), copy(w, h);
        randomize(src, pick(w), pick(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                *copy->pixelAt(mx ? w - 1 - x : x, my ? h - 1 - y : y) = *src->pixelAt(x, y);
        copy->originX = mx ? w - 1 - src->originX : src->originX;
        copy->originY = my ? h - 1 - src->originY : src->originY;
        const int x = pick(60) - 10, y = pick(50) - 10;
        const unsigned zoom = 12000 + static_cast<unsigned>(pick(150000));
        const auto draw = [&](int dx, int dy) { forms[form](x + dx, y + dy, src.h, zoom); };
        setRegion(s, randomRegion(48, 40));
        if (form < 3) {
            ASSERT_EQ(drawn(s, [&] { draw(0, 0); }), drawn(s, [&] { bmpZoomImage(x, y, copy.h, zoom); })) << i;
        }
        ASSERT_TRUE(cutsWithoutShifting(s, randomRegion(48, 40), draw)) << i;
    }
}

struct ScaleForm {
    void (*blit)(int, int, HClass<Bitmap>, unsigned char);
    int turns;  // clockwise quarter turns
    bool map;   // the top-left corner on the position, no origin point
};
const ScaleForm scaleForms[] = {
    {bmpZoomImageScale, 0, false},        {bmpZoomImageScaleRot90, 1, false},   {bmpZoomImageScaleRot180, 2, false},
    {bmpZoomImageScaleRot270, 3, false},  {bmpZoomImageScaleMap, 0, false},     {bmpZoomImageScaleMapRot90, 1, true},
    {bmpZoomImageScaleMapRot180, 2, true}, {bmpZoomImageScaleMapRot270, 3, true},
};

// The source pixels an axis of n yields at step 2^s: below s = 16 each one
// repeated, above it every m-th from the first or, on a far-aligned axis,
// down from pixel n - m.
std::vector<int> samples(int n, int s, bool far)
{
    std::vector<int> out;
    const int m = s > 16 ? 1 << (s - 16) : 1;
    for (int i = far ? n % m : 0; i < n; i += m)
        out.insert(out.end(), s < 16 ? 1 << (16 - s) : 1, i);
    return out;
}

// What form f draws, as a bitmap for putImage: src resampled at step 2^s and
// turned, with the origin point scaled and turned. The map forms read a
// reversed axis from its far edge: rows for the clockwise and half turns,
// columns for the half and anticlockwise ones.
void turnedCopy(const Owned& from, int s, const ScaleForm& f, Owned& out)
{
    const auto cols = samples(from->width, s, f.map && f.turns >= 2);
    const auto rows = samples(from->height, s, f.map && (f.turns == 1 || f.turns == 2));
    const int w = static_cast<int>(cols.size()), h = static_cast<int>(rows.size()), q = f.turns;
    out.h = ZelBitmap::Create(q % 2 ? h : w, q % 2 ? w : h, {});
    const Bitmap& src = *from.h.get();  // after the allocation, which may move blocks
    Bitmap& t = *out.h.get();
    const auto turned = [&](int x, int y) {
        const std::array<int, 2> at[4] = {{x, y}, {h - 1 - y, x}, {w - 1 - x, h - 1 - y}, {y, w - 1 - x}};
        return at[q];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            *t.pixelAt(turned(x, y)[0], turned(x, y)[1]) = src.pixels()[rows[y] * src.width + cols[x]];
    const auto scaled = [s](int v) { return static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(v) << 16) >> s); };
    const auto origin = f.map ? std::array<int, 2>{0, 0} : turned(scaled(src.originX), scaled(src.originY));
    t.originX = origin[0];
    t.originY = origin[1];
}

// Every form equals putImage of its turned, resampled copy on a filled Screen
// through regions with an offset; equal whole Screens also show that nothing
// outside the region changed.
TEST(Scale, EveryFormIsPutImageOfATurnedResampledCopy)
{
    rng.seed(52);
    ScreenSetup s(40, 36);
    for (int i = 0; i < 1200; ++i) {
        const ScaleForm& f = scaleForms[i % 8];
        const int sc = 14 + pick(5), w = 1 + pick(9), h = 1 + pick(7);
        Owned src(w, h), copy;
        randomize(src, pick(w + 4) - 2, pick(h + 4) - 2);
        turnedCopy(src, sc, f, copy);
        s.setRegion(pick(12), pick(12), 26 + pick(15), 22 + pick(15), pick(9) - 4, pick(9) - 4);
        const int x = pick(56) - 8, y = pick(52) - 8;
        ASSERT_EQ(drawn(s, [&] { f.blit(x, y, src.h, static_cast<unsigned char>(sc)); }, 255),
                  drawn(s, [&] { putImage(x, y, copy.h, 0); }, 255))
            << "form " << i % 8 << ", case " << i << ", s " << sc;
    }
}

// Origins and positions near the ends of the int range at every scale: no
// write leaves the region, and no read the bitmap (the sanitizers watch).
TEST(Scale, WildPlacementsStayInTheRegion)
{
    rng.seed(7);
    ScreenSetup s(24, 20, 9);
    s.setRegion(5, 4, 19, 15, 2, -3);
    Owned src(7, 5);
    const uint32_t far[] = {0x80000000u, 0xfffeee90u, 0xfffffc18u, 0, 5, 1000, 70000, 0x7fffffffu};
    const auto wild = [&] { return static_cast<int>(far[pick(8)] + static_cast<uint32_t>(pick(20))); };
    for (int i = 0; i < 3000; ++i) {
        randomize(src, wild(), wild());
        scaleForms[i % 8].blit(wild(), wild(), src.h, static_cast<unsigned char>(pick(31)));
    }
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x)
            if (x < 5 || x >= 19 || y < 4 || y >= 15) {
                ASSERT_EQ(*s.bitmap().pixelAt(x, y), 9) << "outside the region at " << x << "," << y;
            }
}

// Quarter turns at 1:1: the pixel at (dx, dy) from the origin's screen point
// shows source (ox + dx cos - dy sin, oy + dx sin + dy cos), angle 16384
// having sine +1 (the picture turns anticlockwise on the screen); nothing
// else changes, not where the footprint's extra edge lies nor outside the
// region. Unturned, that is putImage's picture. Cases near every edge.
TEST(Rotate, QuarterTurnsFollowTheInverseMapping)
{
    struct Case {
        int w, h, ox, oy, x, y;
    };
    const Region regions[] = {{0, 0, 24, 20, 0, 0}, {3, 2, 21, 17, 4, -1}};
    rng.seed(21);
    ScreenSetup s(24, 20);
    for (const Case k : {Case{6, 4, 2, 1, 10, 9}, Case{16, 2, -2, 1, -3, 15}, Case{7, 4, 6, 3, 22, 18},
                         Case{9, 12, 4, 6, 12, -2}, Case{8, 8, 3, 5, 2, 1}, Case{1, 1, 0, 0, 0, 0}}) {
        Owned b(k.w, k.h);
        randomize(b, k.ox, k.oy);
        for (int turn = 0; turn < 8; ++turn) {
            const Region& r = regions[turn / 4];
            const int q = turn % 4;
            setRegion(s, r);
            const auto got = drawn(
                s, [&] { bmpRotImage(k.x - r[0] - r[4], k.y - r[1] - r[5], b.h, q * ZelAngleQuarterTurn, 65536); },
                255);
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 24; ++x) {
                    const int dx = x - k.x, dy = y - k.y;
                    const int u = k.ox + dx * cosOf[q] - dy * sinOf[q], v = k.oy + dx * sinOf[q] + dy * cosOf[q];
                    const bool seen = x >= r[0] && x < r[2] && y >= r[1] && y < r[3] && u >= 0 && u < k.w &&
                                      v >= 0 && v < k.h && *b->pixelAt(u, v) != 0;
                    ASSERT_EQ(got[y * 24 + x], seen ? *b->pixelAt(u, v) : 255)
                        << k.w << "x" << k.h << ", turn " << turn << ", at " << x << "," << y;
                }
        }
    }
}

// Any turn, zoom, bitmap and region: the region cuts the whole Screen's
// picture without shifting it, and a region reaching past the Screen
// (outside the contract) loses only what lies off the Screen. Regions are
// at least a pixel: the polygon clip puts an empty region's rows on top - 1.
TEST(Rotate, RegionsCutThePictureWithoutShiftingIt)
{
    rng.seed(77);
    ScreenSetup s(64, 48);
    for (int i = 0; i < 150; ++i) {
        Owned b(1 + pick(20), 1 + pick(20));
        randomize(b, pick(26) - 3, pick(26) - 3);
        const unsigned angle = static_cast<unsigned>(rng());
        const int zoom = 20000 + pick(180000), x = pick(84) - 10, y = pick(68) - 10;
        const auto draw = [&](int dx, int dy) { bmpRotImage(x + dx, y + dy, b.h, angle, zoom); };
        ASSERT_TRUE(cutsWithoutShifting(s, {-9, -7, 69, 51, 9, 7}, draw)) << i;
        ASSERT_TRUE(cutsWithoutShifting(s, randomRegion(64, 48), draw)) << i;
    }
}

class TexturedFill : public testing::Test {
protected:
    zeltest::Restore keep{zoomFactor, polyMinY, polyStartIndex, polyStopIndex};
    // The span list as a caller prepares it: entry k is line first + k.
    static void setSpans(int first, int count, std::pair<int, int> span, int stop = -1)
    {
        polyMinY = first;
        polyStartIndex = 0;
        polyStopIndex = stop < 0 ? count - 1 : stop;
        std::fill_n(polyBuffer.get(), count, Point{{span.first, span.second}});
    }
};

// At angle 0 a wall 60 quarter texels to the right runs straight ahead. At
// projection distance 16 column dx sees it 16 x 60 / dx quarter texels ahead
// of the texture origin: texture column 240 / dx, where a pixel is 60 / dx
// quarter texels (15 / dx texture rows) high. Texels read 1 + column + 16 x row.
TEST_F(TexturedFill, SideWallFollowsItsGeometry)
{
    ScreenSetup s(20, 30);
    zoomFactor = 4;
    Owned tex(16, 8);
    for (int k = 0; k < 128; ++k)
        tex->pixels()[k] = static_cast<unsigned char>(1 + k);
    int p[3] = {60, 0, 0};
    setSpans(3, 12, {5, 25});
    bmpSideFill(2, 5, p, tex.h, 0, 1000);
    for (int dx : {1, 2, 3, 4, 5, 6, 8, 10, 12})
        for (int k = 0; k < 20; ++k)
            ASSERT_EQ(*s.bitmap().pixelAt(2 + dx, 5 + k), 1 + ((240 / dx) & 15) + 16 * ((15 * k / dx) & 7))
                << "dx " << dx << " row " << k;
}

// The pixel at (dx, dy) from the projection centre sees the plane point
// (X1, X2) = (px + py dx / dy, pz + py f / dy); its texture column and row
// are, in texels, (cos X2 - sin X1) / 4 and (cos X1 + sin X2) / 4, repeating
// every 64. Rows above the centre follow the same rule (the ceiling's py is
// below 0); each row starts at its own column.
TEST_F(TexturedFill, FloorFollowsItsGeometryAtQuarterTurns)
{
    ScreenSetup s(21, 36);
    zoomFactor = 4;
    Owned columns(64, 64), rows(64, 64);
    for (int k = 0; k < 4096; ++k) {
        columns->pixels()[k] = static_cast<unsigned char>(1 + k % 64);
        rows->pixels()[k] = static_cast<unsigned char>(1 + k / 64);
    }
    int p[3] = {8, 16, -12};
    for (int q = 0; q < 4; ++q) {
        for (const Owned* tex : {&columns, &rows}) {
            clrScreen(0);
            setSpans(0, 36, {0, 18});
            for (int y = 0; y < 36; ++y)
                polyBuffer.get()[y].side[0] = 2 + y % 3;
            bmpFloorFill(10, 18, p, tex->h, static_cast<unsigned>(q * ZelAngleQuarterTurn));
            for (int dy : {-16, -8, -4, -2, -1, 1, 2, 4, 8, 16})
                for (int dx = -8; dx <= 8; ++dx) {
                    const double x1 = p[0] + 16.0 * dx / dy, x2 = p[2] + 256.0 / dy;
                    const double texel =
                        (tex == &columns ? cosOf[q] * x2 - sinOf[q] * x1 : cosOf[q] * x1 + sinOf[q] * x2) / 4;
                    const bool inSpan = dx >= (18 + dy) % 3 - 8;
                    ASSERT_EQ(*s.bitmap().pixelAt(10 + dx, 18 + dy),
                              inSpan ? 1 + (static_cast<int>(std::floor(texel)) & 63) : 0)
                        << "quarter " << q << (tex == &columns ? " column" : " row") << " at " << dx << "," << dy;
                }
        }
    }
}

// Spans reaching past the Screen, and more entries than the buffer holds,
// are cut: walls and floors come out as from spans the caller had cut.
TEST_F(TexturedFill, SpansPastTheScreenAreCut)
{
    ScreenSetup s(16, 12);
    zoomFactor = 5;
    Owned tex(8, 8), tile(64, 64);
    for (int k = 0; k < 4096; ++k)
        tile->pixels()[k] = static_cast<unsigned char>(1 + (k % 64 ^ k / 64) % 200);
    for (int k = 0; k < 64; ++k)
        tex->pixels()[k] = static_cast<unsigned char>(1 + k);
    int wall[3] = {-40, 30, 200}, plane[3] = {12, 40, -30};
    const auto fill = [&](bool floor, int first, int count, std::pair<int, int> span, int stop) {
        return drawn(s, [&] {
            setSpans(first, count, span, stop);
            floor ? bmpFloorFill(7, 5, plane, tile.h, 3000) : bmpSideFill(7, 5, wall, tex.h, 3000, 64);
        });
    };
    const auto wallPicture = fill(false, 0, 16, {0, 12}, -1);
    ASSERT_LT(std::count(wallPicture.begin(), wallPicture.end(), 0), 16 * 12) << "the wall is in view";
    EXPECT_EQ(fill(false, -3, 22, {-50, 1000}, 5000), wallPicture);
    EXPECT_EQ(fill(true, -3, 20, {-100, 1000}, 5000), fill(true, 0, 12, {0, 15}, -1));
}

}  // namespace
