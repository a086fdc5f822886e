// The standard data and the tools that make it: the palette's fixed entries
// and ramps, shade tables computed from a palette, the drawn font, the file
// encoders and writer, and zelgen run end to end.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "font/font.h"
#include "test_support.h"
#include "tools/assets/asset_files.h"
#include "tools/assets/font_design.h"
#include "tools/assets/palette_design.h"
#include "tools/assets/shade_builder.h"

namespace fs = std::filesystem;
using namespace zelassets;
namespace SC = zelassets::StandardColour;

namespace {

// Luminance in thousandths (Rec. 601 weights).
int luma(Rgb c)
{
    return 299 * c.r + 587 * c.g + 114 * c.b;
}

const ShadeTables& standardShades()
{
    static const ShadeTables tables = buildShadeTables(standardPalette());
    return tables;
}

int at(const ShadeTable& table, int c, int k)
{
    return table[std::size_t(c * ShadeLevels + k)];
}

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int runZelgen(const std::string& args)
{
    const std::string command = std::string(ZELGEN_PATH) + " " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(StandardPalette, FixedEntriesAreWhereTheLayoutSays)
{
    const Palette& p = standardPalette();
    EXPECT_EQ(p[SC::Transparent], (Rgb{0, 0, 0}));
    EXPECT_EQ(p[SC::White], (Rgb{255, 255, 255}));
    // The start-up background is dark but visibly not black.
    EXPECT_NE(p[SC::Background], p[0]);
    EXPECT_LT(luma(p[SC::Background]), luma(p[SC::DarkGrey]));
    for (auto [lighter, darker] : {std::pair{SC::LightGrey, SC::MidGrey}, {SC::MidGrey, SC::DarkGrey},
                                   {SC::BevelLight, SC::BevelFace}, {SC::BevelFace, SC::BevelDark}})
        EXPECT_GT(luma(p[lighter]), luma(p[darker])) << lighter << " " << darker;
    // Red, green and blue are dominated by their own component.
    EXPECT_GT(p[SC::Red].r, 2 * std::max(p[SC::Red].g, p[SC::Red].b));
    EXPECT_GT(p[SC::Green].g, 2 * std::max(p[SC::Green].r, p[SC::Green].b));
    EXPECT_GT(p[SC::Blue].b, 2 * std::max(p[SC::Blue].r, p[SC::Blue].g));

// Grey from the opaque black of sprites to white; hue ramps from near black
// (but not black) to pale, leaving room for shading both ways.
    EXPECT_EQ(p[SC::GreyRamp], (Rgb{0, 0, 0}));
    EXPECT_EQ(p[SC::GreyRamp + 15], (Rgb{255, 255, 255}));
    for (int first = SC::GreyRamp; first < 256; first += SC::RampSteps) {
        const bool grey = first == SC::GreyRamp;
        for (int i = first + 1; i < first + SC::RampSteps; ++i) {
            EXPECT_GT(luma(p[i]), luma(p[i - 1])) << "index " << i;
            EXPECT_TRUE(!grey || (p[i].r == p[i].g && p[i].g == p[i].b)) << i;
        }
        if (!grey) {
            EXPECT_NE(p[first], (Rgb{0, 0, 0})) << first;
            EXPECT_LT(luma(p[first]), 40000) << first;
            EXPECT_GT(luma(p[first + SC::RampSteps - 1]), 160000) << first;
        }
    }
}

TEST(NearestColour, ExactMatchesAndTies)
{
    const Palette& p = standardPalette();
    for (int i = 1; i < 256; ++i) {
        EXPECT_EQ(nearestColour(p, p[i], Candidates::Opaque, i), i);
        // Without a preference an exact match is the lowest equal entry.
        const int found = nearestColour(p, p[i], Candidates::Opaque);
        EXPECT_EQ(p[found], p[i]);
        EXPECT_LE(found, i);
    }
    // White exists at 2 and 31: the lower wins unless 31 is preferred.
    EXPECT_EQ(nearestColour(p, {255, 255, 255}, Candidates::Opaque), SC::White);
    EXPECT_EQ(nearestColour(p, {255, 255, 255}, Candidates::Opaque, SC::GreyRamp + 15), SC::GreyRamp + 15);
    // Black: 0 only when transparent entries are allowed.
    EXPECT_EQ(nearestColour(p, {0, 0, 0}, Candidates::All), 0);
    EXPECT_EQ(nearestColour(p, {0, 0, 0}, Candidates::Opaque, 0), SC::GreyRamp);

    Palette q{};
    q.fill({255, 255, 255});
    // {target, entry 1, entry 2, the winner}: at the same Euclidean distance
    // green differences weigh more; among reds a red difference shows more
    // than a blue one, near black the other way round.
    const std::array<Rgb, 3> cases[] = {{Rgb{60, 60, 0}, {100, 0, 0}, {0, 100, 0}},
                                        {Rgb{240, 0, 0}, {200, 0, 0}, {240, 0, 40}},
                                        {Rgb{0, 0, 0}, {0, 0, 40}, {40, 0, 0}}};
    for (const auto& [target, loser, winner] : cases) {
        q[1] = loser;
        q[2] = winner;
        EXPECT_EQ(nearestColour(q, target, Candidates::Opaque), 2) << int{target.r} << "," << int{target.g};
    }
    EXPECT_EQ(colourDistance({10, 20, 30}, {10, 20, 30}), 0u);
    EXPECT_EQ(colourDistance({0, 0, 0}, {255, 255, 255}), colourDistance({255, 255, 255}, {0, 0, 0}));
    EXPECT_EQ(mixToward({100, 0, 200}, {0, 0, 0}, 0), (Rgb{100, 0, 200}));
    EXPECT_EQ(mixToward({100, 0, 200}, {0, 0, 0}, 64), (Rgb{0, 0, 0}));
    EXPECT_EQ(mixToward({100, 0, 200}, {0, 255, 0}, 32), (Rgb{50, 128, 100}));
}

// Light column 0 is the identity, full darkness the opaque black, and no
// visible colour ever becomes transparent.
TEST(ShadeTables, EndColumnsAndNoTransparentShades)
{
    const Palette& p = standardPalette();
    const ShadeTables& t = standardShades();
    EXPECT_EQ(at(t.dark, 0, 63), 0);
    for (int c = 1; c < 256; ++c) {
        EXPECT_EQ(at(t.light, c, 0), c) << c;
        EXPECT_EQ(at(t.dark, c, 63), SC::GreyRamp) << c;
        for (int k = 0; k < ShadeLevels; ++k) {
            ASSERT_NE(at(t.dark, c, k), 0) << c << " dark " << k;
            ASSERT_NE(at(t.light, c, k), 0) << c << " light " << k;
        }
    }
    // Full light: white, the lowest white except for white itself.
    EXPECT_EQ(at(t.light, SC::RedRamp, 63), nearestColour(p, mixToward(p[SC::RedRamp], {255, 255, 255}, 63),
                                                          Candidates::Opaque));
    EXPECT_EQ(at(t.light, SC::GreyRamp + 15, 63), SC::GreyRamp + 15);

    for (int c = SC::GreyRamp; c < SC::GreyRamp + SC::RampSteps; ++c) {
        for (int k = 0; k < ShadeLevels; ++k) {
            EXPECT_LE(luma(p[at(t.dark, c, k)]), luma(p[k ? at(t.dark, c, k - 1) : c])) << c << " dark " << k;
            EXPECT_GE(luma(p[at(t.light, c, k)]), luma(p[k ? at(t.light, c, k - 1) : c])) << c << " light " << k;
        }
    }

// Gouraud shading walks a ramp from dark to light: half darkness on a ramp's
// full colour lands on that ramp.
    for (int first = SC::RedRamp; first < 256; first += SC::RampSteps) {
        const int c = first + SC::RampFull;
        EXPECT_GE(at(t.dark, c, 31), first) << c;
        EXPECT_LT(at(t.dark, c, 31), c) << c;
    }

    // Only entry 0 is black: full darkness must pick the darkest opaque entry.
    Palette noBlack{};
    for (int i = 1; i < 256; ++i)
        noBlack[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(255 - i)};
    noBlack[200] = {3, 3, 3};
    const ShadeTables black = buildShadeTables(noBlack);
    // A haze colour replaces black as the dark target.
    const ShadeTables hazy = buildShadeTables(standardPalette(), {128, 128, 128});
    EXPECT_EQ(at(hazy.dark, 0, 63), SC::MidGrey);
    for (int c = 1; c < 256; ++c) {
        EXPECT_EQ(at(black.dark, c, 63), 200) << c;
        ASSERT_EQ(at(hazy.dark, c, 63), SC::MidGrey) << c;
    }
}

const AssetBitmap& glyphOf(const AssetFont& font, int code)
{
    return font.glyphs.at(std::size_t(font.charMap[std::size_t(code)] - 1));
}

// The columns and rows holding ink: {left, right, top, bottom}, inclusive;
// right and bottom -1 when there is none.
std::array<int, 4> ink(const AssetBitmap& g)
{
    std::array<int, 4> box = {g.width, -1, g.height, -1};
    for (int i = 0; i < g.width * g.height; ++i)
        if (g.pixels[std::size_t(i)])
            box = {std::min(box[0], i % g.width), std::max(box[1], i % g.width), std::min(box[2], i / g.width),
                   std::max(box[3], i / g.width)};
    return box;
}

TEST(StandardFont, EveryGlyphIsMappedOnceAndTenRowsHigh)
{
    const AssetFont font = standardFont();
    for (int c = 32; c <= 126; ++c)
        EXPECT_NE(font.charMap[std::size_t(c)], 0) << char(c);
    EXPECT_EQ(font.charMap['\n'], 0);
    EXPECT_EQ(font.charMap['\t'], 0);

    std::vector<int> uses(font.glyphs.size() + 1, 0);  // by glyph number, 0 for none
    for (std::uint8_t g : font.charMap)
        ++uses.at(g);
    EXPECT_EQ(std::count(uses.begin() + 1, uses.end(), 1), std::ssize(font.glyphs));

    for (const AssetBitmap& g : font.glyphs) {
        EXPECT_EQ(g.height, FontHeight);
        EXPECT_EQ(g.originX | g.originY, 0);
        ASSERT_EQ(g.pixels.size(), std::size_t(g.width * g.height));
        EXPECT_TRUE(std::all_of(g.pixels.begin(), g.pixels.end(), [](std::uint8_t v) { return v <= 1; }));
    }

    for (int c = 0; c < 256; ++c) {
        if (font.charMap[std::size_t(c)] == 0 || c == ' ')
            continue;
        const AssetBitmap& g = glyphOf(font, c);
        EXPECT_EQ(std::pair(ink(g)[0], ink(g)[1]), std::pair(0, g.width - 2)) << c;
    }
    EXPECT_EQ(glyphOf(font, ' ').width, FontSpaceWidth);
    EXPECT_EQ(ink(glyphOf(font, ' '))[3], -1);
    // Digits share one width so that numbers line up.
    for (int c = '1'; c <= '9'; ++c)
        EXPECT_EQ(glyphOf(font, c).width, glyphOf(font, '0').width) << char(c);

    const int baseline = FontAscent - 1;  // last row above the baseline
    const auto rows = [&](char c) { return std::pair(ink(glyphOf(font, c))[2], ink(glyphOf(font, c))[3]); };
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789bdhkl"))
        EXPECT_EQ(rows(c), std::pair(baseline - FontCapHeight + 1, baseline)) << c;
    for (char c : std::string("acemnorsuvwxz"))
        EXPECT_EQ(rows(c), std::pair(baseline - FontXHeight + 1, baseline)) << c;
    for (char c : std::string("gjpqy"))
        EXPECT_EQ(rows(c).second, FontHeight - 1) << c;
}

TEST(AssetFiles, EncodedSizesAndLayout)
{
    const Palette& p = standardPalette();
    const Bytes pal = encodePalette(p);
    ASSERT_EQ(pal.size(), 768u);
    EXPECT_EQ(pal[3 * SC::Background + 2], p[SC::Background].b);
    EXPECT_EQ(pal[3 * 255], p[255].r);
    EXPECT_EQ(encodeShadeTable(standardShades().dark).size(), 16384u);
    EXPECT_EQ(encodeShadeTable(standardShades().light).size(), 16384u);

    Bytes b;
    encodeBitmap({2, 1, -1, 258, {7, 9}}, b);
    const Bytes expected = {2, 0, 0, 0, 1, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 2, 1, 0, 0, 0, 0, 0, 0, 7, 9};
    EXPECT_EQ(b, expected);
    // A short pixel vector is padded so that the record keeps its size.
    b.clear();
    encodeBitmap({2, 2, 0, 0, {5}}, b);
    ASSERT_EQ(b.size(), 24u);
    EXPECT_EQ(Bytes(b.begin() + 20, b.end()), (Bytes{5, 0, 0, 0}));
}

// The written font, read back by the library's own loader, is the font.
TEST(AssetFiles, FontFileLoadsAsTheFont)
{
    zeltest::TempDir dir;
    const AssetFont font = standardFont();
    std::string error;
    ASSERT_TRUE(writeFileAtomically(fs::path(dir.path) / "standard.fnt", encodeFont(font), error)) << error;
    ZelSystem::SetRegistryString("ufsroot", dir.path.c_str());
    ASSERT_EQ(ZelFont::load("standard.fnt", ""), 0);
    const Fonts& loaded = *ZelFont::fonts[0].handle.get();
    AssetFont read;
    std::copy(std::begin(loaded.charMap), std::end(loaded.charMap), read.charMap.begin());
    for (std::uint32_t g = 0; g < loaded.count; ++g) {
        const Bitmap* b = loaded.glyphs[g].handle.get();
        ASSERT_NE(b, nullptr) << g;
        read.glyphs.push_back({b->width, b->height, b->originX, b->originY, zeltest::pixels(*b)});
    }
    ZelFont::unloadAll();
    ZelSystem::SetRegistryString("ufsroot", nullptr);
    EXPECT_EQ(read, font);
}

TEST(AssetFiles, AtomicWriteReplacesOrLeavesNothing)
{
    zeltest::TempDir dir;
    const fs::path file = fs::path(dir.path) / "standard.pal";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(file, Bytes(1000, 1), error)) << error;
    ASSERT_TRUE(writeFileAtomically(file, encodePalette(standardPalette()), error)) << error;
    EXPECT_EQ(readFile(file), encodePalette(standardPalette()));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::others_read, fs::perms::others_read);
    // Only the file itself: no temporary left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);

    EXPECT_FALSE(writeFileAtomically(fs::path(dir.path) / "missing" / "standard.pal", Bytes(3, 0), error));
    EXPECT_NE(error.find("missing/standard.pal"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

TEST(Zelgen, WritesTheFourStandardFiles)
{
    zeltest::TempDir dir;
    const fs::path out = fs::path(dir.path) / "CDDATA" / "SYSTEM";
    ASSERT_EQ(runZelgen(out.string()), 0);
    EXPECT_EQ(readFile(out / "standard.pal"), encodePalette(standardPalette()));
    EXPECT_EQ(readFile(out / "standard.DRK"), encodeShadeTable(standardShades().dark));
    EXPECT_EQ(readFile(out / "standard.LHT"), encodeShadeTable(standardShades().light));
    EXPECT_EQ(readFile(out / "standard.fnt"), encodeFont(standardFont()));

    for (auto [args, code] : {std::pair{"--help", 0}, {"", 2}, {"a b", 2}, {"--bogus", 2}})
        EXPECT_EQ(runZelgen(args), code) << args;
    // A path through a regular file cannot be created.
    std::ofstream(dir.path + "/file") << "x";
    EXPECT_EQ(runZelgen(dir.path + "/file/sub"), 1);
}

}  // namespace
