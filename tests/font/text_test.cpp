// Text output and measurement: advances, colours, line breaks, formatted
// output, measuring and wrapping, and a wrapped paragraph in the standard
// font against a golden picture.

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "font/font.h"
#include "golden.h"
#include "test_support.h"

namespace {

using zeltest::picture;
using zeltest::ScreenSetup;

// A font file: glyph k of the list (a code and rows of '.' for 0 and '1'-'9')
// is glyph number k + 1 of its code; extra maps further codes to glyph
// numbers, which the file need not hold.
using Glyph = std::pair<unsigned char, std::vector<std::string>>;

std::string fontFile(const std::vector<Glyph>& glyphs, const std::vector<std::pair<int, int>>& extra = {})
{
    std::string map(256, '\0');
    for (size_t k = 0; k < glyphs.size(); ++k)
        map[glyphs[k].first] = static_cast<char>(k + 1);
    for (auto [code, number] : extra)
        map[code] = static_cast<char>(number);
    std::string s;
    zeltest::put32(s, static_cast<uint32_t>(glyphs.size()));
    s += map;
    for (const auto& [code, rows] : glyphs) {
        for (uint32_t v : {uint32_t(rows[0].size()), uint32_t(rows.size()), 0u, 0u, 0u})
            zeltest::put32(s, v);
        for (const std::string& row : rows)
            for (char c : row)
                s += static_cast<char>(c == '.' ? 0 : c - '0');
    }
    return s;
}

// The test font: A is 2 x 3, B 3 x 2, i 1 x 4; the space and the tab have no
// glyph; x names glyph 9, which the file does not hold; code 0xe9 shares A.
const std::string TinyFont =
    fontFile({{'A', {"12", "1.", "11"}}, {'B', {"111", "1.1"}}, {'i', {"1", "1", "1", "1"}}}, {{'x', 9}, {0xe9, 1}});
// A second font: A is 4 x 1.
const std::string WideFont = fontFile({{'A', {"1111"}}});

class Text : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZelSystem::SetRegistryString("ufsroot", dir.path.c_str());
        ASSERT_EQ(load(TinyFont), 0);
        ZelFont::setFont(0);
    }
    void TearDown() override
    {
        ZelFont::unloadAll();
        ZelSystem::SetRegistryString("ufsroot", nullptr);
    }

    int load(const std::string& content) const
    {
        zeltest::writeFile(dir.path + "/f.fnt", content);
        return ZelFont::load("f.fnt", "");
    }

    zeltest::TempDir dir;
};

// Bounding box {left, top, right, bottom} of the pixels of one value,
// inclusive; nullopt when there are none.
using Box = std::array<int, 4>;

std::optional<Box> ink(const Bitmap& b, unsigned char value)
{
    std::optional<Box> box;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (b.pixels()[y * b.width + x] == value)
                box = box ? Box{std::min((*box)[0], x), std::min((*box)[1], y), std::max((*box)[2], x),
                                std::max((*box)[3], y)}
                          : Box{x, y, x, y};
    return box;
}

// The caller's wrap loop: lines cut with countVisibleWords until the rest is
// null; a line that takes nothing skips one character, as a caller must.
std::vector<std::string> wrap(const char* text, int width)
{
    std::vector<std::string> lines;
    while (text) {
        int count = -1;
        const char* rest = ZelFont::countVisibleWords(text, count, width);
        lines.emplace_back(text, static_cast<size_t>(count));
        text = rest == text ? rest + 1 : rest;
    }
    return lines;
}

TEST_F(Text, AdvancesOfGlyphsTabsAndCharactersWithoutGlyphs)
{
    const std::pair<const char*, int> widths[] = {
        {"AB", 5},
        {"A A", 7},        // the space has no glyph: 3
        {"A\tB", 14},      // a tab is a 9-pixel gap
        {"x", 3},          // mapped to a glyph that is not there
        {"\xe9\xff", 5},   // codes above 127: a glyph and none
        {"A\n\nBBB\n", 9},  // the widest line
        {"", 0},
        {nullptr, 0},
    };
    for (auto [text, width] : widths)
        EXPECT_EQ(ZelFont::getWidth(text), width) << (text ? text : "null");
    const std::pair<const char*, int> heights[] = {
        {"AB", 3}, {"B\ni", 4} /* the tallest glyph, not lines added up */, {" \tx", 0}, {"", 0}, {nullptr, 0}};
    for (auto [text, height] : heights)
        EXPECT_EQ(ZelFont::getHeight(text), height) << (text ? text : "null");
}

// Small scenes, exactly.
TEST_F(Text, Pictures)
{
    const struct {
        const char* what;
        int w, h;
        unsigned char fill;
        void (*draw)();
        const char* picture;
    } cases[] = {
        {"glyphs side by side, tab and missing glyphs skipped", 24, 5, 0,
         [] { ZelFont::put(1, 0, "AB\tAxBi", 10); },
         ".abaaa.........ab...aaaa\n"
         ".a.a.a.........a....a.aa\n"
         ".aa............aa......a\n"
         ".......................a\n"
         "........................\n"},
        {"glyph values follow the colour, 0 is transparent", 4, 3, 5, [] { ZelFont::put(1, 0, "\xe9", 30); },
         "5uv5\n5u55\n5uu5\n"},
        {"the background covers the text and two pixels around", 6, 8, 0,
         [] { ZelFont::putFormat(2, 2, "A", 8, 5); }, "11111.\n11111.\n11561.\n11511.\n11551.\n11111.\n11111.\n......\n"},
        {"background, frame, shadow, text; tight height pulls the frame's bottom row up", 10, 9, 0,
         [] { ZelFont::putFormatEx(3, 3, "A", 4 | 8 | 16 | 32, 10, 20, -1); },
         "..........\n.aaaaaa...\n.a1111a...\n.a1ab1a...\n.a1akla...\n.a1aa1a...\n.aaakka...\n"
         "..........\n..........\n"},
        {"putFormat shadows in colour 1", 4, 4, 0, [] { ZelFont::putFormat(0, 0, "A", 32, 10); },
         "ab..\na12.\naa..\n.11.\n"},
    };
    for (const auto& c : cases) {
        ScreenSetup screen(c.w, c.h, c.fill);
        c.draw();
        EXPECT_EQ(picture(screen.bitmap()), c.picture) << c.what;
    }
}


TEST_F(Text, NewlineReturnsToXAndLinesAreOneBelowTheTallestGlyph)
{
    ScreenSetup screen(8, 15);
    ZelFont::put(2, 1, "A\nBA\ni", 1);  // i is 4 high: lines 5 apart, A's '2' at (3, 1) and (6, 6)
    EXPECT_EQ(ink(screen.bitmap(), 2), (Box{3, 1, 6, 6}));
    EXPECT_EQ(ink(screen.bitmap(), 1), (Box{2, 1, 6, 14}));

    clrScreen(0);
    ZelFont::put(0, 0, "A\nA", 1);  // 3 high: lines 4 apart
    EXPECT_EQ(ink(screen.bitmap(), 2), (Box{1, 0, 1, 4}));
}

TEST_F(Text, NothingIsDrawnWithoutTextOrFontAndMeasuresStillWork)
{
    ScreenSetup screen(8, 8);
    ZelFont::put(0, 0, nullptr, 1);
    ZelFont::putFormatEx(4, 4, nullptr, 1 | 4 | 8 | 32, 1, 2, -1);
    int chars = 7, words = 7;
    EXPECT_EQ(ZelFont::countVisibleChars(nullptr, chars, 10), nullptr);
    EXPECT_EQ(ZelFont::countVisibleWords(nullptr, words, 10), nullptr);
    EXPECT_EQ(std::pair(chars, words), std::pair(0, 0));

    // Without a font every character is one without a glyph.
    ZelFont::currentFont = HClass<Fonts>();
    ZelFont::put(0, 0, "AB\ni", 1);
    EXPECT_EQ(ZelFont::getWidth("AB\t"), 15);
    EXPECT_EQ(ZelFont::getHeight("AB"), 0);
    const char* text = "AB A";
    EXPECT_EQ(ZelFont::countVisibleWords(text, words, 7), text + 3);
    EXPECT_EQ(words, 2);
    EXPECT_EQ(zeltest::pixels(screen.bitmap()), std::vector<unsigned char>(64, 0));
}

TEST_F(Text, FormatAlignsAndShadowsGrowTheSize)
{
    using Point = std::pair<int, int>;
    // Where formatted output puts "AB" (5 x 3) and its shadow for (20, 10):
    // format, the text's top-left corner and the shadow's, when drawn.
    const std::tuple<unsigned char, Point, std::optional<Point>> cases[] = {
        {0, {20, 10}, {}}, {3, {20, 10}, {}},
        {1, {18, 9}, {}},   // 20 - (4 >> 1), 10 - (3 >> 1)
        {2, {16, 10}, {}},  // 20 - 5 + 1
        {32, {20, 10}, Point{21, 11}},
        {33, {18, 8}, Point{19, 9}},  // W 6, H 4
        {34, {15, 10}, Point{16, 11}}, {65, {18, 8}, Point{17, 7}}, {66, {15, 10}, Point{14, 9}},
        {97, {18, 8}, {}},  // both bits: the room, no shadow
        {98, {15, 10}, {}}, {99, {20, 10}, {}},
        {17, {18, 10}, {}},            // tight: H 1
        {49, {18, 9}, Point{19, 10}},  // tight with a shadow: H 2
    };
    for (const auto& [format, at, shadowAt] : cases) {
        SCOPED_TRACE(testing::Message() << "format " << int{format});
        ScreenSetup screen(40, 24);
        ZelFont::putFormatEx(20, 10, "AB", format, 10, 20, -1);
        EXPECT_EQ(ink(screen.bitmap(), 10), (Box{at.first, at.second, at.first + 4, at.second + 2}));
        const std::optional<Box> shadow = ink(screen.bitmap(), 20);
        EXPECT_EQ(shadow ? std::optional<Point>(Point{(*shadow)[0], (*shadow)[1]}) : std::nullopt, shadowAt);
    }
}

TEST_F(Text, CentringUsesTheWidestLineButTheFirstLineHeight)
{
    ScreenSetup screen(40, 24);
    ZelFont::putFormat(20, 10, "A\nAB", 1, 10);
    // W 5 from the second line, H 3: the first line at (18, 9), the second
    // 4 rows below it at the same x.
    EXPECT_EQ(ink(screen.bitmap(), 10), (Box{18, 9, 22, 15}));
}



TEST_F(Text, BoxesOfTextWithoutGlyphsShiftArithmetically)
{
    ScreenSetup screen(24, 12);
    // Empty text: W 0, H 0; centring moves by -((0 - 1) >> 1) = +1.
    ZelFont::putFormat(10, 5, "", 1 | 8, 5);
    EXPECT_EQ(ink(screen.bitmap(), 1), (Box{9, 3, 11, 6}));

    // A space, tight: W 3, H -2; the text's corner is (9, 6).
    clrScreen(0);
    ZelFont::putFormat(10, 5, " ", 1 | 8 | 16, 5);
    EXPECT_EQ(ink(screen.bitmap(), 1), (Box{7, 4, 12, 5}));
}


TEST_F(Text, FontArgumentHoldsForOneCall)
{
    ASSERT_EQ(load(WideFont), 1);
    const HClass<Fonts> tiny = ZelFont::currentFont;
    ScreenSetup screen(10, 4);
    const std::string wide = "11111111..\n..........\n..........\n..........\n";
    const std::string narrow = "1212......\n1.1.......\n1111......\n..........\n";

    // -1 and indexes outside the table use the current font.
    for (auto [font, expected] : {std::pair{1, &wide}, {-1, &narrow}, {2, &narrow}, {-2, &narrow}, {1000, &narrow}}) {
        SCOPED_TRACE(font);
        clrScreen(0);
        ZelFont::putFormatEx(0, 0, "AA", 0, 1, 1, font);
        EXPECT_EQ(picture(screen.bitmap()), *expected);
        EXPECT_EQ(ZelFont::currentFont, tiny);
    }

    // The current font comes back whichever it was.
    ZelFont::setFont(1);
    ZelFont::putFormatEx(0, 0, "A", 0, 1, 1, 0);
    EXPECT_EQ(ZelFont::getFont(), 1);

    // A free slot has no glyphs: only the box is drawn.
    ASSERT_EQ(load(WideFont), 2);
    ZelFont::unload(1);
    clrScreen(0);
    ZelFont::putFormatEx(2, 2, "AA", 8, 5, 1, 1);
    EXPECT_EQ(ZelFont::currentFont, tiny);
    EXPECT_EQ(ink(screen.bitmap(), 5), std::nullopt);
    EXPECT_EQ(ink(screen.bitmap(), 1), (Box{0, 0, 8, 3}));  // W 6 (3 + 3), H 0
}

TEST_F(Text, CountVisibleCharsAndWordsCutWhereTheWidthEnds)
{
    struct Case {
        const char* text;
        int maxWidth, count, rest;  // rest: offset of the rest, -1 for null
    };
    // Chars stop at the character that does not fit.
    const Case chars[] = {
        {"AAA", 6, 3, -1},  // exactly the width still fits
        {"AAA", 5, 2, 2},
        {"AB\nA", 100, 2, 3},  // the newline is consumed
        {"\nA", 0, 0, 1},
        {"A A", 4, 1, 1},  // a space is cut like any character
        {"B", 2, 0, 0},    // the first character is too wide
        {"A", -1, 0, 0}, {"", 0, 0, -1},
        {"A\tA", 12, 2, 2},  // the tab ends at 11
        {"A\tA", 13, 3, -1},
    };
    // Words break at the last space that fits.
    const Case words[] = {
        {"AAA BBB", 12, 3, 4},  // room for AAA, the space and one B
        {"AA BB", 4, 2, 3},     // the space itself does not fit: dropped
        {"A A", 7, 3, -1},      // ends exactly at the width
        {"BBBB A", 7, 2, 2},    // a word longer than the line is cut inside
        {"B A", 2, 0, 0},       // nothing fits: the text itself comes back
        {" AA", 2, 0, 1},       // a leading space that does not fit
        {" AAAA", 6, 2, 2},     // a leading space is no break point
        {" AA AA", 8, 3, 4}, {"AA   ", 5, 2, 3}, {"AA A\nAAAA", 100, 4, 5},
        {"AA\tAA", 10, 2, 2},  // a tab is no break point
        {"A A\tA", 10, 1, 2},
    };
    using Count = const char* (*)(const char*, int&, int);
    for (auto [count, cases] : {std::pair{Count{ZelFont::countVisibleChars}, std::span<const Case>(chars)},
                                {Count{ZelFont::countVisibleWords}, std::span<const Case>(words)}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << (cases.data() == chars ? "chars" : "words") << " of \"" << c.text
                                            << "\" in " << c.maxWidth);
            int n = -1;
            const char* rest = count(c.text, n, c.maxWidth);
            EXPECT_EQ(n, c.count);
            EXPECT_EQ(rest, c.rest < 0 ? nullptr : c.text + c.rest);
        }
    }
}

TEST_F(Text, WrapLoopCutsAParagraphIntoLines)
{
    EXPECT_EQ(wrap("AB AB BBB\nA iiii AAAAAAAAA B", 12),
              (std::vector<std::string>{"AB", "AB", "BBB", "A iiii", "AAAAAA", "AAA B"}));
    // Trailing spaces become lines of their own, down to an empty one.
    EXPECT_EQ(wrap("AA   ", 5), (std::vector<std::string>{"AA", " ", ""}));
    EXPECT_EQ(wrap("A\n\nA", 5), (std::vector<std::string>{"A", "", "A"}));
    EXPECT_EQ(wrap("", 5), (std::vector<std::string>{""}));
}

TEST_F(Text, ParagraphInTheStandardFontMatchesTheGolden)
{
    const std::string font = zeltest::standardDataFile("standard.fnt");
    const std::string palette = zeltest::standardDataFile("standard.pal");
    if (font.empty() || palette.empty())
        GTEST_SKIP() << "the standard data is not built (target standard_data)";
    ZelSystem::SetRegistryString("ufsroot", std::filesystem::path(font).parent_path().c_str());
    const int standard = ZelFont::load("standard.fnt", "");
    ASSERT_GE(standard, 0);
    ZelFont::setFont(standard);

    const char* paragraph =
        "The quick brown fox jumps over the lazy dog. Pack my box with five dozen liquor jugs! "
        "Sphinx of black quartz, judge my vow: how vexingly quick daft zebras jump (42 times). "
        "Five big jet planes zoomed by the tower at 7:30.";
    ScreenSetup screen(200, 80);
    const int lineHeight = ZelFont::getHeight(paragraph) + 1;
    int y = 1;
    for (const std::string& line : wrap(paragraph, 190)) {
        ZelFont::put(5, y, line.c_str(), 31);
        y += lineHeight;
    }
    unsigned char colours[768];
    std::ifstream(palette, std::ios::binary).read(reinterpret_cast<char*>(colours), sizeof colours);
    for (unsigned char& c : colours)
        c >>= 2;
    EXPECT_TRUE(zeltest::matchesGolden(screen.bitmap(), "font/golden/paragraph.txt", colours));
}

}  // namespace
