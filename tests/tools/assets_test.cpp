// The standard data and the tools that make it: the palette's fixed entries
// and ramps, shade tables computed from a palette, the drawn font, the file
// encoders and writer, and zelgen run end to end.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/zelassetsXXXXXX";
        if (mkdtemp(pattern))
            path = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        if (!path.empty())
            fs::remove_all(path, ec);
    }
    fs::path path;
};

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Reads a font file with code of its own, independent of the library's loader.
bool parseFont(const Bytes& bytes, AssetFont& font)
{
    std::size_t pos = 0;
    bool ok = true;
    const auto take = [&](std::uint8_t* out, std::size_t n) {
        ok = ok && pos + n <= bytes.size();
        if (ok) {
            std::memcpy(out, bytes.data() + pos, n);
            pos += n;
        }
    };
    const auto u32 = [&] {
        std::uint8_t b[4] = {};
        take(b, 4);
        return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
               std::uint32_t(b[3]) << 24;
    };
    const std::uint32_t count = u32();
    take(font.charMap.data(), font.charMap.size());
    for (std::uint32_t g = 0; g < count && ok; ++g) {
        AssetBitmap b{std::int32_t(u32()), std::int32_t(u32()), std::int32_t(u32()), std::int32_t(u32()), {}};
        if (u32() != 0 || b.width < 0 || b.height < 0)
            return false;
        b.pixels.resize(std::size_t(b.width) * std::size_t(b.height));
        take(b.pixels.data(), b.pixels.size());
        font.glyphs.push_back(std::move(b));
    }
    return ok && pos == bytes.size();
}

int runZelgen(const std::string& args)
{
    const std::string command = std::string(ZELGEN_PATH) + " " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// --- Palette ---------------------------------------------------------------

TEST(StandardPalette, FixedEntriesAreWhereTheLayoutSays)
{
    const Palette& p = standardPalette();
    EXPECT_EQ(p[SC::Transparent], (Rgb{0, 0, 0}));
    EXPECT_EQ(p[SC::White], (Rgb{255, 255, 255}));
    // The start-up background is dark but visibly not black.
    EXPECT_NE(p[SC::Background], p[0]);
    EXPECT_LT(luma(p[SC::Background]), luma(p[SC::DarkGrey]));
    EXPECT_GT(luma(p[SC::LightGrey]), luma(p[SC::MidGrey]));
    EXPECT_GT(luma(p[SC::MidGrey]), luma(p[SC::DarkGrey]));
    EXPECT_GT(luma(p[SC::BevelLight]), luma(p[SC::BevelFace]));
    EXPECT_GT(luma(p[SC::BevelFace]), luma(p[SC::BevelDark]));
    // Red, green and blue are dominated by their own component.
    EXPECT_GT(p[SC::Red].r, 2 * std::max(p[SC::Red].g, p[SC::Red].b));
    EXPECT_GT(p[SC::Green].g, 2 * std::max(p[SC::Green].r, p[SC::Green].b));
    EXPECT_GT(p[SC::Blue].b, 2 * std::max(p[SC::Blue].r, p[SC::Blue].g));
}

TEST(StandardPalette, RampsRunFromDarkToLight)
{
    const Palette& p = standardPalette();
    EXPECT_EQ(p[SC::GreyRamp], (Rgb{0, 0, 0}));  // the opaque black of sprites
    EXPECT_EQ(p[SC::GreyRamp + 15], (Rgb{255, 255, 255}));
    for (int first = SC::GreyRamp; first < 256; first += SC::RampSteps) {
        for (int i = 1; i < SC::RampSteps; ++i) {
            const Rgb c = p[first + i];
            EXPECT_GT(luma(c), luma(p[first + i - 1])) << "index " << first + i;
            if (first == SC::GreyRamp) {
                EXPECT_TRUE(c.r == c.g && c.g == c.b) << first + i;
            }
        }
        if (first == SC::GreyRamp)
            continue;
        // Hue ramps: from near black (but not black) to pale, room for
        // shading both ways.
        EXPECT_NE(p[first], (Rgb{0, 0, 0})) << first;
        EXPECT_LT(luma(p[first]), 40000) << first;
        EXPECT_GT(luma(p[first + SC::RampSteps - 1]), 160000) << first;
    }
}

// --- Nearest colour --------------------------------------------------------

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
    EXPECT_EQ(nearestColour(p, {0, 0, 0}, Candidates::Opaque), SC::GreyRamp);
    EXPECT_EQ(nearestColour(p, {0, 0, 0}, Candidates::Opaque, 0), SC::GreyRamp);
}

TEST(NearestColour, WeighsComponentsPerceptually)
{
    Palette p{};
    p.fill({255, 255, 255});
    p[1] = {100, 0, 0};
    p[2] = {0, 100, 0};
    // The same Euclidean distance from both; green differences weigh more, so
    // the one closer in green wins.
    EXPECT_EQ(nearestColour(p, {60, 60, 0}, Candidates::Opaque), 2);
    // Among reds a red difference shows more than a blue one; near black the
    // other way round.
    p[1] = {240, 0, 40};
    p[2] = {200, 0, 0};
    EXPECT_EQ(nearestColour(p, {240, 0, 0}, Candidates::Opaque), 1);
    p[1] = {0, 0, 40};
    p[2] = {40, 0, 0};
    EXPECT_EQ(nearestColour(p, {0, 0, 0}, Candidates::Opaque), 2);
    EXPECT_EQ(colourDistance({10, 20, 30}, {10, 20, 30}), 0u);
    EXPECT_EQ(colourDistance({0, 0, 0}, {255, 255, 255}), colourDistance({255, 255, 255}, {0, 0, 0}));
    EXPECT_EQ(mixToward({100, 0, 200}, {0, 0, 0}, 0), (Rgb{100, 0, 200}));
    EXPECT_EQ(mixToward({100, 0, 200}, {0, 0, 0}, 64), (Rgb{0, 0, 0}));
    EXPECT_EQ(mixToward({100, 0, 200}, {0, 255, 0}, 32), (Rgb{50, 128, 100}));
}

// --- Shade tables ----------------------------------------------------------

TEST(ShadeTables, LightColumnZeroIsTheIdentity)
{
    const ShadeTables& t = standardShades();
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(at(t.light, c, 0), c) << c;
}

TEST(ShadeTables, FullDarknessIsTheOpaqueBlack)
{
    const Palette& p = standardPalette();
    const ShadeTables& t = standardShades();
    const int black = nearestColour(p, {0, 0, 0}, Candidates::Opaque);
    EXPECT_EQ(black, SC::GreyRamp);
    EXPECT_EQ(at(t.dark, 0, 63), 0);
    for (int c = 1; c < 256; ++c)
        EXPECT_EQ(at(t.dark, c, 63), black) << c;
    // Full light: white, the lowest white except for white itself.
    EXPECT_EQ(at(t.light, SC::RedRamp, 63), nearestColour(p, mixToward(p[SC::RedRamp], {255, 255, 255}, 63),
                                                          Candidates::Opaque));
    EXPECT_EQ(at(t.light, SC::GreyRamp + 15, 63), SC::GreyRamp + 15);
}

TEST(ShadeTables, NoVisibleColourBecomesTransparent)
{
    const ShadeTables& t = standardShades();
    for (int c = 1; c < 256; ++c)
        for (int k = 0; k < ShadeLevels; ++k) {
            ASSERT_NE(at(t.dark, c, k), 0) << c << " dark " << k;
            ASSERT_NE(at(t.light, c, k), 0) << c << " light " << k;
        }
}

TEST(ShadeTables, GreysDarkenAndLightenMonotonically)
{
    const Palette& p = standardPalette();
    const ShadeTables& t = standardShades();
    for (int c = SC::GreyRamp; c < SC::GreyRamp + SC::RampSteps; ++c) {
        int darkBefore = luma(p[c]);
        int lightBefore = luma(p[c]);
        for (int k = 0; k < ShadeLevels; ++k) {
            const int dark = luma(p[at(t.dark, c, k)]);
            const int light = luma(p[at(t.light, c, k)]);
            EXPECT_LE(dark, darkBefore) << c << " dark " << k;
            EXPECT_GE(light, lightBefore) << c << " light " << k;
            darkBefore = dark;
            lightBefore = light;
        }
    }
}

TEST(ShadeTables, HueRampsStayInTheirRampWhileDarkening)
{
    // A ramp from dark to light is what Gouraud shading walks: half darkness
    // on a ramp's full colour should land on that ramp.
    const ShadeTables& t = standardShades();
    for (int first = SC::RedRamp; first < 256; first += SC::RampSteps) {
        const int c = first + SC::RampFull;
        const int half = at(t.dark, c, 31);
        EXPECT_GE(half, first) << c;
        EXPECT_LT(half, c) << c;
    }
}

TEST(ShadeTables, HazeAndPaletteWithoutOpaqueBlack)
{
    // Only entry 0 is black: full darkness must pick the darkest opaque entry.
    Palette p{};
    for (int i = 1; i < 256; ++i)
        p[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(255 - i)};
    p[200] = {3, 3, 3};
    const ShadeTables t = buildShadeTables(p);
    for (int c = 1; c < 256; ++c)
        EXPECT_EQ(at(t.dark, c, 63), 200) << c;

    // A haze colour replaces black as the dark target.
    const Rgb fog{128, 128, 128};
    const ShadeTables hazy = buildShadeTables(standardPalette(), fog);
    const int fogIndex = nearestColour(standardPalette(), fog, Candidates::Opaque);
    EXPECT_EQ(fogIndex, SC::MidGrey);
    for (int c = 1; c < 256; ++c)
        ASSERT_EQ(at(hazy.dark, c, 63), fogIndex) << c;
    EXPECT_EQ(at(hazy.dark, 0, 63), fogIndex);
}

// --- Font ------------------------------------------------------------------

const AssetBitmap& glyphOf(const AssetFont& font, int code)
{
    return font.glyphs.at(std::size_t(font.charMap[std::size_t(code)] - 1));
}

bool columnHasInk(const AssetBitmap& g, int x)
{
    for (int y = 0; y < g.height; ++y)
        if (g.pixels[std::size_t(y * g.width + x)])
            return true;
    return false;
}

// First and last rows holding ink.
std::pair<int, int> inkRows(const AssetBitmap& g)
{
    int top = g.height, bottom = -1;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            if (g.pixels[std::size_t(y * g.width + x)]) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return {top, bottom};
}

TEST(StandardFont, EveryGlyphIsMappedOnceAndTenRowsHigh)
{
    const AssetFont font = standardFont();
    for (int c = 32; c <= 126; ++c)
        EXPECT_NE(font.charMap[std::size_t(c)], 0) << char(c);
    EXPECT_EQ(font.charMap['\n'], 0);
    EXPECT_EQ(font.charMap['\t'], 0);

    std::vector<int> uses(font.glyphs.size(), 0);
    for (std::uint8_t g : font.charMap)
        if (g != 0) {
            ASSERT_LE(g, font.glyphs.size());
            ++uses[g - 1u];
        }
    EXPECT_TRUE(std::all_of(uses.begin(), uses.end(), [](int n) { return n == 1; }));

    for (const AssetBitmap& g : font.glyphs) {
        EXPECT_EQ(g.height, FontHeight);
        EXPECT_EQ(g.originX, 0);
        EXPECT_EQ(g.originY, 0);
        ASSERT_EQ(g.pixels.size(), std::size_t(g.width * g.height));
        EXPECT_TRUE(std::all_of(g.pixels.begin(), g.pixels.end(), [](std::uint8_t v) { return v <= 1; }));
    }
}

TEST(StandardFont, WidthIsInkWidthPlusOneSpacingColumn)
{
    const AssetFont font = standardFont();
    for (int c = 0; c < 256; ++c) {
        if (font.charMap[std::size_t(c)] == 0 || c == ' ')
            continue;
        const AssetBitmap& g = glyphOf(font, c);
        ASSERT_GE(g.width, 2) << c;
        EXPECT_TRUE(columnHasInk(g, 0)) << c;
        EXPECT_TRUE(columnHasInk(g, g.width - 2)) << c;
        EXPECT_FALSE(columnHasInk(g, g.width - 1)) << c;
    }
    const AssetBitmap& space = glyphOf(font, ' ');
    EXPECT_EQ(space.width, FontSpaceWidth);
    EXPECT_EQ(inkRows(space).second, -1);
    // Digits share one width so that numbers line up.
    for (int c = '1'; c <= '9'; ++c)
        EXPECT_EQ(glyphOf(font, c).width, glyphOf(font, '0').width) << char(c);
}

TEST(StandardFont, LettersSitOnTheBaseline)
{
    const AssetFont font = standardFont();
    const int baseline = FontAscent - 1;  // last row above the baseline
    for (int c = 'A'; c <= 'Z'; ++c)
        EXPECT_EQ(inkRows(glyphOf(font, c)), std::make_pair(baseline - FontCapHeight + 1, baseline)) << char(c);
    for (const char* s : {"0123456789", "bdhkl"})
        for (; *s; ++s)
            EXPECT_EQ(inkRows(glyphOf(font, *s)), std::make_pair(baseline - FontCapHeight + 1, baseline)) << *s;
    for (char c : std::string("acemnorsuvwxz"))
        EXPECT_EQ(inkRows(glyphOf(font, c)), std::make_pair(baseline - FontXHeight + 1, baseline)) << c;
    for (char c : std::string("gjpqy"))
        EXPECT_EQ(inkRows(glyphOf(font, c)).second, FontHeight - 1) << c;
}

// --- Files -----------------------------------------------------------------

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

TEST(AssetFiles, FontFileRoundTrips)
{
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const AssetFont font = standardFont();
    std::string error;
    ASSERT_TRUE(writeFileAtomically(dir.path / "standard.fnt", encodeFont(font), error)) << error;

    const Bytes bytes = readFile(dir.path / "standard.fnt");
    AssetFont read;
    ASSERT_TRUE(parseFont(bytes, read));
    EXPECT_EQ(read, font);
    EXPECT_EQ(encodeFont(read), bytes);
    EXPECT_EQ(bytes[0], font.glyphs.size());
    EXPECT_EQ(bytes[4 + 'A'], font.charMap['A']);
}

TEST(AssetFiles, AtomicWriteReplacesOrLeavesNothing)
{
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const fs::path file = dir.path / "standard.pal";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(file, Bytes(1000, 1), error)) << error;
    ASSERT_TRUE(writeFileAtomically(file, encodePalette(standardPalette()), error)) << error;
    EXPECT_EQ(readFile(file), encodePalette(standardPalette()));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::others_read, fs::perms::others_read);
    // Only the file itself: no temporary left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);

    EXPECT_FALSE(writeFileAtomically(dir.path / "missing" / "standard.pal", Bytes(3, 0), error));
    EXPECT_NE(error.find("missing/standard.pal"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

// --- zelgen ----------------------------------------------------------------

TEST(Zelgen, WritesTheFourStandardFiles)
{
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const fs::path out = dir.path / "CDDATA" / "SYSTEM";
    ASSERT_EQ(runZelgen(out.string()), 0);

    EXPECT_EQ(readFile(out / "standard.pal"), encodePalette(standardPalette()));
    const Bytes dark = readFile(out / "standard.DRK");
    const Bytes light = readFile(out / "standard.LHT");
    EXPECT_EQ(dark.size(), 16384u);
    EXPECT_EQ(light.size(), 16384u);
    EXPECT_EQ(dark, encodeShadeTable(standardShades().dark));
    EXPECT_EQ(light, encodeShadeTable(standardShades().light));
    EXPECT_EQ(readFile(out / "standard.fnt"), encodeFont(standardFont()));
}

TEST(Zelgen, ExitCodes)
{
    EXPECT_EQ(runZelgen("--help"), 0);
    EXPECT_EQ(runZelgen(""), 2);
    EXPECT_EQ(runZelgen("a b"), 2);
    EXPECT_EQ(runZelgen("--bogus"), 2);
    // A path through a regular file cannot be created.
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    std::ofstream(dir.path / "file") << "x";
    EXPECT_EQ(runZelgen((dir.path / "file" / "sub").string()), 1);
}

}  // namespace
