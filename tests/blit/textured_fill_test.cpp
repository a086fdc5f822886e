// Textured fills: exact wall and floor pictures at set-ups whose geometry can
// be worked out by hand, skipped columns and rows, counting, and a golden
// corridor scene built from span lists prepared as a caller would.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "blit/textured_fill.h"
#include "draw/poly.h"
#include "engine/zelmath/zelmath.h"
#include "golden.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using zeltest::picture;
using zeltest::ScreenSetup;

struct Texture {
    HClass<ZelBitmap> h;
    Texture(int w, int hgt, const std::function<int(int, int)>& texel) : h(ZelBitmap::Create(w, hgt, 65535))
    {
        for (int y = 0; y < hgt; ++y)
            for (int x = 0; x < w; ++x)
                *h->pixelAt(x, y) = static_cast<unsigned char>(texel(x, y));
    }
    ~Texture() { h.release(); }
    ZelBitmap* operator->() const { return h.get(); }
};

// The span list as a caller prepares it: entry start + k is line first + k.
void setSpans(int first, const std::vector<std::pair<int, int>>& spans, int start = 0)
{
    Point* buf = polyBuffer.get();
    polyMinY = first;
    polyStartIndex = start;
    polyStopIndex = start + static_cast<int>(spans.size()) - 1;
    for (size_t k = 0; k < spans.size(); ++k)
        buf[start + k] = Point{{spans[k].first, spans[k].second}};
}

// Columns first .. first + count - 1, each with the rows [top, end).
void setColumns(int first, int count, int top, int end)
{
    setSpans(first, std::vector<std::pair<int, int>>(static_cast<size_t>(count), {top, end}));
}

const ZelVideoStatistics zeroStatistics{};

class TexturedFill : public ::testing::Test {
protected:
    void SetUp() override { videoStatistics = {}; }
    zeltest::Restore keepZoom{zoomFactor};
};

// Angle 16384 faces the surface; at projection distance 16 a wall 64 quarter
// texels (16 texels) ahead shows one texel per pixel, texel (originX,
// originY) on the projection centre. limit 2 x H shows the texture twice, one
// above the other; texel 0 and rows outside [0, limit) leave the screen alone.
TEST_F(TexturedFill, FacingWallIsOneTexelPerPixelWithinTheLimitBand)
{
    ScreenSetup s(10, 10, 35);
    zoomFactor = 4;
    Texture tex(4, 2, [](int x, int y) { return "1234" "5078"[y * 4 + x] - '0'; });
    int p[3] = {0, 0, 64};
    const std::string blank = "zzzzzzzzzz\n", expected = blank + blank + blank + "z41234123z\nz85z785z7z\n"
                                                         "z41234123z\nz85z785z7z\n" + blank + blank + blank;
    setColumns(1, 8, 0, 10);
    bmpSideFill(2, 3, p, tex.h, ZelAngleQuarterTurn, 4);
    EXPECT_EQ(picture(s.bitmap()), expected);
    EXPECT_EQ(videoStatistics.fillMuls, 2u + 3u * 8u);
    EXPECT_EQ(videoStatistics.fillCalls, 0u);

    // The same through a region origin and from entries further on in the
    // buffer: the centre is in drawing coordinates, the spans on the screen.
    clrScreen(35);
    s.setRegion(0, 0, 10, 10, 1, 1);
    setSpans(1, std::vector<std::pair<int, int>>(8, {0, 10}), 5);
    bmpSideFill(1, 2, p, tex.h, ZelAngleQuarterTurn, 4);
    EXPECT_EQ(picture(s.bitmap()), expected);

    // A null texture draws and counts nothing.
    bmpSideFill(1, 2, p, HClass<Bitmap>(), ZelAngleQuarterTurn, 4);
    EXPECT_EQ(videoStatistics.fillMuls, 2u * (2u + 3u * 8u));
}

// At angle 0 a wall 60 quarter texels to the right runs straight ahead. With
// projection distance 16, column dx sees it 16 x 60 / dx quarter texels ahead
// of its texture origin, i.e. texture column 240 / dx, where one pixel is
// 60 / dx quarter texels (15 / dx texture rows) high. Texels here read
// 1 + column + 16 x row.
TEST_F(TexturedFill, SideWallFollowsItsGeometry)
{
    ScreenSetup s(20, 30);
    zoomFactor = 4;
    Texture tex(16, 8, [](int x, int y) { return 1 + x + 16 * y; });
    int p[3] = {60, 0, 0};
    setColumns(3, 12, 5, 25);
    bmpSideFill(2, 5, p, tex.h, 0, 1000);
    for (int dx : {1, 2, 3, 4, 5, 6, 8, 10, 12}) {
        for (int k = 0; k < 20; ++k) {
            const int column = (240 / dx) & 15, row = (15 * k / dx) & 7;
            ASSERT_EQ(*s.bitmap().pixelAt(2 + dx, 5 + k), 1 + column + 16 * row) << "dx " << dx << " row " << k;
        }
    }
}

// The projection centre's column looks along the wall (D = 0): it stays
// untouched, and the columns after it come out as if drawn on their own.
TEST_F(TexturedFill, ColumnParallelToTheWallIsSkipped)
{
    ScreenSetup s(12, 10, 35);
    zoomFactor = 4;
    Texture tex(16, 8, [](int x, int y) { return 1 + x + 16 * y; });
    int p[3] = {60, 0, 0};
    setColumns(4, 5, 0, 10);
    bmpSideFill(6, 4, p, tex.h, 0, 8);
    const std::string together = picture(s.bitmap());
    EXPECT_EQ(videoStatistics.fillMuls, 2u + 3u * 4u);

    clrScreen(35);
    setColumns(7, 2, 0, 10);
    bmpSideFill(6, 4, p, tex.h, 0, 8);
    const std::string alone = picture(s.bitmap());
    for (size_t at = 0; at < together.size(); at += 13) {
        EXPECT_EQ(together[at + 6], 'z') << "row " << at / 13;
        EXPECT_EQ(together.substr(at + 7, 2), alone.substr(at + 7, 2)) << "row " << at / 13;
    }
    EXPECT_NE(alone[4 * 13 + 7], 'z') << "the wall shows right of the centre";
}

// Rows include both end columns; the projection centre's row is skipped and
// the rows after it are drawn at their own columns; texel 0 is written like
// any other; nothing is counted.
TEST_F(TexturedFill, FloorSkipsTheCentreRowAndWritesEveryTexel)
{
    ScreenSetup s(12, 9, 7);
    Texture zero(64, 64, [](int, int) { return 0; });
    int p[3] = {0, 64, 0};
    setSpans(1, {{1, 3}, {2, 6}, {0, 11}, {5, 5}, {4, 8}, {9, 10}, {6, 5}});
    bmpFloorFill(5, 4, p, zero.h, 1234);
    EXPECT_EQ(picture(s.bitmap()),
              "777777777777\n"
              "7...77777777\n"
              "77.....77777\n"
              "............\n"
              "777777777777\n"
              "7777.....777\n"
              "777777777..7\n"
              "777777777777\n"
              "777777777777\n");
    EXPECT_EQ(std::memcmp(&videoStatistics, &zeroStatistics, sizeof videoStatistics), 0);
}

// The pixel at (dx, dy) from the projection centre sees the plane point
// (X1, X2) = (py dx / dy, py f / dy); texture row and column are, in texels,
// (cos X1 + sin X2) / 4 and (cos X2 - sin X1) / 4, repeating every 64.
TEST_F(TexturedFill, FloorFollowsItsGeometryAtQuarterTurns)
{
    ScreenSetup s(21, 20);
    zoomFactor = 4;
    Texture columns(64, 64, [](int x, int) { return 1 + x; });
    Texture rows(64, 64, [](int, int y) { return 1 + y; });
    int p[3] = {0, 16, 0};
    const double f = 16, py = 16;
    for (const int q : {0, 1}) {
        const double c = q ? 0 : 1, sn = q ? 1 : 0;
        for (const Texture* tex : {&columns, &rows}) {
            clrScreen(0);
            std::vector<std::pair<int, int>> spans;
            for (int k = 0; k < 16; ++k)
                spans.push_back({2 + k % 3, 18});  // each row starts at its own column
            setSpans(3, spans);
            bmpFloorFill(10, 2, p, tex->h, static_cast<unsigned>(q * ZelAngleQuarterTurn));
            for (int dy : {1, 2, 4, 8, 16}) {
                for (int dx = -8; dx <= 8; ++dx) {
                    const double x1 = py * dx / dy, x2 = py * f / dy;
                    const double texel = tex == &columns ? (c * x2 - sn * x1) / 4 : (c * x1 + sn * x2) / 4;
                    const bool drawn = 10 + dx >= spans[static_cast<size_t>(dy - 1)].first;
                    const int expected = drawn ? 1 + (static_cast<int>(std::floor(texel)) & 63) : 0;
                    ASSERT_EQ(*s.bitmap().pixelAt(10 + dx, 2 + dy), expected)
                        << "quarter " << q << (tex == &columns ? " column" : " row") << " at " << dx << "," << dy;
                }
            }
        }
    }
}

// Spans reaching past the screen, or more entries than the buffer holds, are
// cut: the picture equals the one from spans the caller had cut itself.
TEST_F(TexturedFill, SpansPastTheScreenAreCutWithoutChangingThePicture)
{
    ScreenSetup s(16, 12);
    zoomFactor = 5;
    Texture tex(8, 8, [](int x, int y) { return 1 + x + 8 * y; });
    int wall[3] = {-40, 30, 200}, plane[3] = {12, 40, -30};
    const unsigned angle = 3000;

    Texture tile(64, 64, [](int x, int y) { return 1 + (x ^ y) % 200; });
    // Spans for lines first to first + count - 1; when wild, more than the buffer holds.
    auto draw = [&](bool floor, int first, int count, std::pair<int, int> span, bool wild) {
        clrScreen(0);
        setSpans(first, std::vector<std::pair<int, int>>(static_cast<size_t>(count), span));
        if (wild)
            polyStopIndex = 5000;
        if (floor)
            bmpFloorFill(7, 5, plane, tile.h, angle);
        else
            bmpSideFill(7, 5, wall, tex.h, angle, 64);
        return picture(s.bitmap());
    };
    const std::string wild = draw(false, -3, 22, {-50, 1000}, true);
    ASSERT_NE(wild.find_first_not_of(".\n"), std::string::npos) << "the wall is in view";
    EXPECT_EQ(wild, draw(false, 0, 16, {0, 12}, false));
    EXPECT_EQ(draw(true, -3, 20, {-100, 1000}, true), draw(true, 0, 12, {0, 15}, false));

    // A tile smaller than 64 x 64 is not read at all.
    clrScreen(0);
    const std::string blank = picture(s.bitmap());
    bmpFloorFill(7, 5, plane, tex.h, angle);
    EXPECT_EQ(picture(s.bitmap()), blank);
}

// ---- Golden corridor -------------------------------------------------------

namespace corridor {

// World: the corridor runs along w2 (ahead) between walls at w1 = -128 and
// +128 quarter texels, 64 texels high, closed by a wall at w2 = 768. The eye
// stands at the origin, 24 texels above the floor, turned by Yaw; view
// coordinates are X = R^-1 w with R = [[cos, sin], [-sin, cos]], as the floor
// fill maps them.
constexpr int Width = 160, Height = 100, CentreX = 80, CentreY = 50, Zoom = 7;
constexpr int Yaw = 1200;
constexpr int HalfWidth = 128, Far = 768, EyeHeight = 96, CeilingHeight = 256;
constexpr int WallTexels = 64;

int brick(int x, int y)
{
    const int band = y / 8, shifted = x + (band & 1) * 8;
    if (y % 8 == 7 || shifted % 16 == 15)
        return 16 + 7;  // mortar
    const int hash = (band * 7 + (shifted / 16) * 13) % 5;
    return 32 + 4 + hash + ((x * 7 + y * 3) % 11 == 0 ? -2 : 0);
}

int slateWithDoor(int x, int y)
{
    if (x >= 20 && x < 44 && y >= 16) {
        if (x < 22 || x >= 42 || y < 18)
            return 224 + 13;  // frame
        return x >= 37 && x < 39 && y >= 40 && y < 42 ? 240 + 12 : 224 + 2;  // door, handle
    }
    const int band = y / 16, shifted = x + (band & 1) * 16;
    if (y % 16 == 15 || shifted % 32 == 31)
        return 224 + 3;
    return 224 + 6 + (band * 5 + shifted / 32 * 3) % 3;
}

int floorTile(int x, int y)
{
    if (x % 16 < 2 || y % 16 < 2)
        return 64 + 3;  // grout
    return ((x / 16 + y / 16) & 1) ? 240 + 8 : 64 + 7;
}

int ceilingPanel(int x, int y)
{
    if (x % 32 < 2 || y % 32 < 2)
        return 16 + 5;
    if (x % 32 >= 10 && x % 32 < 24 && y % 32 >= 10 && y % 32 < 24)
        return 16 + 15;  // lamp
    return 16 + 10;
}

struct Wall {
    double q1, q2;   // world point where texture column 0 lies (quarter texels)
    double d1, d2;   // world direction of growing texture columns
    unsigned angle;  // that direction in view coordinates as (sin, cos)
};

// Parameter of the line of sight (dx, f) where it meets the wall's line, or
// infinity when it runs parallel to the wall or meets it behind the eye.
double hit(const Wall& w, double c, double s, double dx, double f)
{
    const double r1 = c * dx + s * f, r2 = -s * dx + c * f;  // the sight in world axes
    const double n1 = -w.d2, n2 = w.d1;                      // the wall's normal
    const double along = r1 * n1 + r2 * n2;
    if (std::fabs(along) < 1e-9)
        return INFINITY;
    const double t = (w.q1 * n1 + w.q2 * n2) / along;
    return t > 0 ? t : INFINITY;
}

}  // namespace corridor

TEST_F(TexturedFill, CorridorScene)
{
    using namespace corridor;
    ScreenSetup s(Width, Height);
    zoomFactor = Zoom;
    Texture bricks(64, 64, brick), door(64, 64, slateWithDoor);
    Texture floorTex(64, 64, floorTile), ceilingTex(64, 64, ceilingPanel);

    // Ceiling and floor first, whole rows; the walls cover them afterwards.
    int ceilingAt[3] = {0, EyeHeight - CeilingHeight, 0};
    setSpans(0, std::vector<std::pair<int, int>>(CentreY, {0, Width - 1}));
    bmpFloorFill(CentreX, CentreY, ceilingAt, ceilingTex.h, Yaw);
    int floorAt[3] = {0, EyeHeight, 0};
    setSpans(CentreY, std::vector<std::pair<int, int>>(Height - CentreY, {0, Width - 1}));
    bmpFloorFill(CentreX, CentreY, floorAt, floorTex.h, Yaw);
    ASSERT_EQ(*s.bitmap().pixelAt(0, CentreY), 0) << "the horizon row is left to the walls";

    const double c = iCos(Yaw) / 1048576.0, sn = iSin(Yaw) / 1048576.0;
    const unsigned alongCorridor = static_cast<unsigned>(-Yaw);
    const unsigned acrossCorridor = static_cast<unsigned>(ZelAngleQuarterTurn - Yaw);
    const Wall walls[3] = {{-HalfWidth, 0, 0, 1, alongCorridor},
                           {-HalfWidth, Far, 1, 0, acrossCorridor},
                           {HalfWidth, 0, 0, 1, alongCorridor}};
    const Texture* textures[3] = {&bricks, &door, &bricks};

    // Each screen column belongs to the nearest wall; its rows run from the
    // wall's top to the floor, one row wider each way: the limit band makes
    // the exact edges.
    const double f = 1 << Zoom;
    int owner[Width];
    std::pair<int, int> rowsOf[Width];
    for (int col = 0; col < Width; ++col) {
        const double dx = col - CentreX;
        owner[col] = 0;
        double nearest = INFINITY;
        for (int w = 0; w < 3; ++w) {
            const double t = hit(walls[w], c, sn, dx, f);
            if (t < nearest) {
                nearest = t;
                owner[col] = w;
            }
        }
        const double top = CentreY - (4.0 * WallTexels - EyeHeight) / nearest;
        const double end = CentreY + EyeHeight / nearest;
        rowsOf[col] = {std::max(0, static_cast<int>(std::floor(top))),
                       std::min(Height, static_cast<int>(std::ceil(end)) + 1)};
    }
    for (int w = 0; w < 3; ++w) {
        int first = 0;
        while (first < Width && owner[first] != w)
            ++first;
        int last = first;
        while (last + 1 < Width && owner[last + 1] == w)
            ++last;
        ASSERT_LT(first, Width) << "wall " << w << " is out of sight";
        setSpans(first, std::vector<std::pair<int, int>>(rowsOf + first, rowsOf + last + 1));
        // The texture's origin point sits on the floor under texture column 0.
        const double x1 = c * walls[w].q1 - sn * walls[w].q2, x2 = sn * walls[w].q1 + c * walls[w].q2;
        int at[3] = {static_cast<int>(std::lround(x1)), EyeHeight, static_cast<int>(std::lround(x2))};
        textures[w]->h->originX = 0;
        textures[w]->h->originY = WallTexels;
        bmpSideFill(CentreX, CentreY, at, textures[w]->h, walls[w].angle, WallTexels);
    }

    std::vector<unsigned char> palette;
    const std::string pal = zeltest::standardDataFile("standard.pal");
    if (!pal.empty()) {
        std::ifstream in(pal, std::ios::binary);
        palette.assign(std::istreambuf_iterator<char>(in), {});
        for (unsigned char& v : palette)
            v = static_cast<unsigned char>(v >> 2);
    }
    EXPECT_TRUE(zeltest::matchesGolden(s.bitmap(), "blit/golden/corridor.txt",
                                       palette.size() == 768 ? palette.data() : nullptr));
}

}  // namespace
