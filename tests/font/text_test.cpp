// Text output and measurement: advances, colours, line breaks, formatted
// output (alignment, shadows, boxes, the font argument), measuring and
// wrapping, and a wrapped paragraph in the standard font against a golden
// picture.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "font/font.h"
#include "golden.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using zeltest::picture;
using zeltest::ScreenSetup;

void put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(v >> (8 * i) & 0xff);
}

// A glyph drawn as rows of '.' (0) and '1'-'9', mapped to a character code.
struct Glyph {
    unsigned char code;
    std::vector<std::string> rows;
};

// A font file: glyph k of the list is glyph number k + 1 of its code.
// Further charMap entries may name glyph numbers the file does not hold.
using MapEntry = std::pair<unsigned char, unsigned char>;  // code, glyph number

std::string fontFile(const std::vector<Glyph>& glyphs, const std::vector<MapEntry>& extra = {})
{
    std::string map(256, '\0');
    for (size_t k = 0; k < glyphs.size(); ++k)
        map[glyphs[k].code] = static_cast<char>(k + 1);
    for (auto [code, number] : extra)
        map[code] = static_cast<char>(number);

    std::string s;
    put32(s, static_cast<uint32_t>(glyphs.size()));
    s += map;
    for (const Glyph& g : glyphs) {
        put32(s, static_cast<uint32_t>(g.rows[0].size()));
        put32(s, static_cast<uint32_t>(g.rows.size()));
        put32(s, 0);
        put32(s, 0);
        put32(s, 0);
        for (const std::string& row : g.rows)
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
        char pattern[] = "/tmp/zeltextXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ZelSystem::SetRegistryString("ufsroot", dir.c_str());
        ASSERT_EQ(load(TinyFont), 0);
        ZelFont::setFont(0);
    }
    void TearDown() override
    {
        ZelFont::unloadAll();
        ZelSystem::SetRegistryString("ufsroot", nullptr);
        fs::remove_all(dir);
    }

    int load(const std::string& content) const
    {
        std::ofstream(dir + "/f.fnt", std::ios::binary) << content;
        return ZelFont::load("f.fnt", "");
    }

    std::string dir;
};

// Rows of text, each ending in '\n', as picture() writes them.
std::string rows(std::initializer_list<const char*> lines)
{
    std::string s;
    for (const char* line : lines)
        s += std::string(line) + "\n";
    return s;
}

// Bounding box of the pixels of one value, inclusive; nullopt when none.
struct Box {
    int left, top, right, bottom;
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Box& b)
{
    return os << "(" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

std::optional<Box> ink(const Bitmap& b, unsigned char value)
{
    std::optional<Box> box;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            if (b.pixels()[y * b.width + x] != value)
                continue;
            if (!box)
                box = Box{x, y, x, y};
            box = Box{std::min(box->left, x), std::min(box->top, y), std::max(box->right, x),
                      std::max(box->bottom, y)};
        }
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
    EXPECT_EQ(ZelFont::getWidth("A"), 2);
    EXPECT_EQ(ZelFont::getWidth("AB"), 5);
    EXPECT_EQ(ZelFont::getWidth("A A"), 7);       // the space has no glyph: 3
    EXPECT_EQ(ZelFont::getWidth("A\tB"), 14);     // a tab is a 9-pixel gap
    EXPECT_EQ(ZelFont::getWidth("x"), 3);         // mapped to a glyph that is not there
    EXPECT_EQ(ZelFont::getWidth("\xe9\xff"), 5);  // codes above 127: a glyph and none
    EXPECT_EQ(ZelFont::getWidth("AB\nA"), 5);     // the widest line
    EXPECT_EQ(ZelFont::getWidth("A\n\nBBB\n"), 9);
    EXPECT_EQ(ZelFont::getWidth(""), 0);
    EXPECT_EQ(ZelFont::getWidth(nullptr), 0);

    EXPECT_EQ(ZelFont::getHeight("AB"), 3);
    EXPECT_EQ(ZelFont::getHeight("B\ni"), 4);  // the tallest glyph, not lines added up
    EXPECT_EQ(ZelFont::getHeight(" \tx"), 0);
    EXPECT_EQ(ZelFont::getHeight(""), 0);
    EXPECT_EQ(ZelFont::getHeight(nullptr), 0);
}

TEST_F(Text, PutDrawsGlyphsSideBySideAndSkipsTheRest)
{
    ScreenSetup screen(24, 5);
    ZelFont::put(1, 0, "AB\tAxBi", 10);
    EXPECT_EQ(picture(screen.bitmap()), rows({
              ".abaaa.........ab...aaaa",
              ".a.a.a.........a....a.aa",
              ".aa............aa......a",
              ".......................a",
              "........................"}));
}

TEST_F(Text, GlyphValuesFollowTheColourAndZeroIsTransparent)
{
    ScreenSetup screen(4, 3, 5);
    ZelFont::put(1, 0, "\xe9", 30);
    EXPECT_EQ(picture(screen.bitmap()), rows({"5uv5", "5u55", "5uu5"}));
}

TEST_F(Text, NewlineReturnsToXAndLinesAreOneBelowTheTallestGlyph)
{
    ScreenSetup screen(8, 15);
    ZelFont::put(2, 1, "A\nBA\ni", 1);  // i is 4 high: lines 5 apart
    EXPECT_EQ(picture(screen.bitmap()), rows({
              "........",
              "..12....",
              "..1.....",
              "..11....",
              "........",
              "........",
              "..11112.",
              "..1.11..",
              ".....11.",
              "........",
              "........",
              "..1.....",
              "..1.....",
              "..1.....",
              "..1....."}));

    clrScreen(0);
    ZelFont::put(0, 0, "A\nA", 1);  // 3 high: lines 4 apart
    ASSERT_TRUE(ink(screen.bitmap(), 2));
    EXPECT_EQ(*ink(screen.bitmap(), 2), (Box{1, 0, 1, 4}));
}

TEST_F(Text, NothingIsDrawnWithoutTextOrFontAndMeasuresStillWork)
{
    ScreenSetup screen(8, 8);
    ZelFont::put(0, 0, nullptr, 1);
    ZelFont::putFormatEx(4, 4, nullptr, 1 | 4 | 8 | 32, 1, 2, -1);
    int count = 7;
    EXPECT_EQ(ZelFont::countVisibleChars(nullptr, count, 10), nullptr);
    EXPECT_EQ(count, 0);
    count = 7;
    EXPECT_EQ(ZelFont::countVisibleWords(nullptr, count, 10), nullptr);
    EXPECT_EQ(count, 0);

    // Without a font every character is one without a glyph.
    ZelFont::currentFont = HClass<Fonts>();
    ZelFont::put(0, 0, "AB\ni", 1);
    EXPECT_EQ(ZelFont::getWidth("AB\t"), 15);
    EXPECT_EQ(ZelFont::getHeight("AB"), 0);
    const char* text = "AB A";
    EXPECT_EQ(ZelFont::countVisibleWords(text, count, 7), text + 3);
    EXPECT_EQ(count, 2);
    EXPECT_FALSE(ink(screen.bitmap(), 1));
    EXPECT_FALSE(ink(screen.bitmap(), 2));
}

using Point = std::pair<int, int>;

// Where formatted output puts "AB" (5 x 3) and its shadow for (20, 10).
struct Placement {
    unsigned char format;
    int x, y;                       // the text's top-left corner
    std::optional<Point> shadowAt;  // top-left of the shadow, when drawn
};

TEST_F(Text, FormatAlignsAndShadowsGrowTheSize)
{
    const Placement cases[] = {
        {0, 20, 10, {}},
        {3, 20, 10, {}},
        {1, 18, 9, {}},               // 20 - (4 >> 1), 10 - (3 >> 1)
        {2, 16, 10, {}},              // 20 - 5 + 1
        {32, 20, 10, Point{21, 11}},
        {33, 18, 8, Point{19, 9}},    // W 6, H 4
        {34, 15, 10, Point{16, 11}},
        {65, 18, 8, Point{17, 7}},
        {66, 15, 10, Point{14, 9}},
        {97, 18, 8, {}},              // both bits: the room, no shadow
        {98, 15, 10, {}},
        {99, 20, 10, {}},
        {17, 18, 10, {}},             // tight: H 1
        {49, 18, 9, Point{19, 10}},   // tight with a shadow: H 2
    };
    for (const Placement& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << int{c.format});
        ScreenSetup screen(40, 24);
        ZelFont::putFormatEx(20, 10, "AB", c.format, 10, 20, -1);
        const std::optional<Box> text = ink(screen.bitmap(), 10);
        ASSERT_TRUE(text);
        EXPECT_EQ(*text, (Box{c.x, c.y, c.x + 4, c.y + 2}));
        const std::optional<Box> shadow = ink(screen.bitmap(), 20);
        EXPECT_EQ(shadow.has_value(), c.shadowAt.has_value());
        if (shadow && c.shadowAt) {
            EXPECT_EQ(shadow->left, c.shadowAt->first);
            EXPECT_EQ(shadow->top, c.shadowAt->second);
        }
    }
}

TEST_F(Text, CentringUsesTheWidestLineButTheFirstLineHeight)
{
    ScreenSetup screen(40, 24);
    ZelFont::putFormat(20, 10, "A\nAB", 1, 10);
    // W 5 from the second line, H 3: the first line at (18, 9), the second
    // 4 rows below it at the same x.
    ASSERT_TRUE(ink(screen.bitmap(), 10));
    EXPECT_EQ(*ink(screen.bitmap(), 10), (Box{18, 9, 22, 15}));
}

TEST_F(Text, BackgroundCoversTheTextAndTwoPixelsAround)
{
    ScreenSetup screen(6, 8);
    ZelFont::putFormat(2, 2, "A", 8, 5);
    EXPECT_EQ(picture(screen.bitmap()),
              rows({"11111.", "11111.", "11561.", "11511.", "11551.", "11111.", "11111.", "......"}));
}

TEST_F(Text, BackgroundThenFrameThenShadowThenText)
{
    // Tight height pulls the frame's bottom row up into the shadow.
    ScreenSetup screen(10, 9);
    ZelFont::putFormatEx(3, 3, "A", 4 | 8 | 16 | 32, 10, 20, -1);
    EXPECT_EQ(picture(screen.bitmap()), rows({
              "..........",
              ".aaaaaa...",
              ".a1111a...",
              ".a1ab1a...",
              ".a1akla...",
              ".a1aa1a...",
              ".aaakka...",
              "..........",
              ".........."}));
}

TEST_F(Text, BoxesOfTextWithoutGlyphsShiftArithmetically)
{
    ScreenSetup screen(24, 12);
    // Empty text: W 0, H 0; centring moves by -((0 - 1) >> 1) = +1.
    ZelFont::putFormat(10, 5, "", 1 | 8, 5);
    ASSERT_TRUE(ink(screen.bitmap(), 1));
    EXPECT_EQ(*ink(screen.bitmap(), 1), (Box{9, 3, 11, 6}));

    // A space, tight: W 3, H -2; the text's corner is (9, 6).
    clrScreen(0);
    ZelFont::putFormat(10, 5, " ", 1 | 8 | 16, 5);
    ASSERT_TRUE(ink(screen.bitmap(), 1));
    EXPECT_EQ(*ink(screen.bitmap(), 1), (Box{7, 4, 12, 5}));
}

TEST_F(Text, PutFormatShadowsInColourOne)
{
    ScreenSetup screen(4, 4);
    ZelFont::putFormat(0, 0, "A", 32, 10);
    EXPECT_EQ(picture(screen.bitmap()), rows({"ab..", "a12.", "aa..", ".11."}));
}

TEST_F(Text, FontArgumentHoldsForOneCall)
{
    ASSERT_EQ(load(WideFont), 1);
    const HClass<Fonts> tiny = ZelFont::currentFont;
    ScreenSetup screen(10, 4);

    ZelFont::putFormatEx(0, 0, "AA", 0, 1, 1, 1);
    EXPECT_EQ(picture(screen.bitmap()), rows({"11111111..", "..........", "..........", ".........."}));
    EXPECT_EQ(ZelFont::currentFont, tiny);

    // -1 and indexes outside the table use the current font.
    for (int font : {-1, 2, -2, 1000}) {
        SCOPED_TRACE(font);
        clrScreen(0);
        ZelFont::putFormatEx(0, 0, "AA", 0, 1, 1, font);
        EXPECT_EQ(picture(screen.bitmap()), rows({"1212......", "1.1.......", "1111......", ".........."}));
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
    EXPECT_FALSE(ink(screen.bitmap(), 5));
    ASSERT_TRUE(ink(screen.bitmap(), 1));
    EXPECT_EQ(*ink(screen.bitmap(), 1), (Box{0, 0, 8, 3}));  // W 6 (3 + 3), H 0
}

TEST_F(Text, CountVisibleCharsStopsAtTheCharacterThatDoesNotFit)
{
    struct Case {
        const char* text;
        int maxWidth;
        int count;
        int rest;  // offset of the rest, -1 for null
    };
    const Case cases[] = {
        {"AAA", 6, 3, -1},     // exactly the width still fits
        {"AAA", 5, 2, 2},
        {"AB\nA", 100, 2, 3},  // the newline is consumed
        {"\nA", 0, 0, 1},
        {"A A", 4, 1, 1},      // a space is cut like any character
        {"B", 2, 0, 0},        // the first character is too wide
        {"A", -1, 0, 0},
        {"", 0, 0, -1},
        {"A\tA", 12, 2, 2},   // the tab ends at 11
        {"A\tA", 13, 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" in " << c.maxWidth);
        int count = -1;
        const char* rest = ZelFont::countVisibleChars(c.text, count, c.maxWidth);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(rest, c.rest < 0 ? nullptr : c.text + c.rest);
    }
}

TEST_F(Text, CountVisibleWordsBreaksAtTheLastSpaceThatFits)
{
    struct Case {
        const char* text;
        int maxWidth;
        int count;
        int rest;  // offset of the rest, -1 for null
    };
    const Case cases[] = {
        {"AAA BBB", 12, 3, 4},  // room for AAA, the space and one B
        {"AA BB", 4, 2, 3},     // the space itself does not fit: dropped
        {"A A", 7, 3, -1},      // ends exactly at the width
        {"BBBB A", 7, 2, 2},    // a word longer than the line is cut inside
        {"B A", 2, 0, 0},       // nothing fits: the text itself comes back
        {" AA", 2, 0, 1},       // a leading space that does not fit
        {" AAAA", 6, 2, 2},     // a leading space is no break point
        {" AA AA", 8, 3, 4},
        {"AA   ", 5, 2, 3},
        {"AA A\nAAAA", 100, 4, 5},
        {"AA\tAA", 10, 2, 2},   // a tab is no break point
        {"A A\tA", 10, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" in " << c.maxWidth);
        int count = -1;
        const char* rest = ZelFont::countVisibleWords(c.text, count, c.maxWidth);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(rest, c.rest < 0 ? nullptr : c.text + c.rest);
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
    ZelSystem::SetRegistryString("ufsroot", fs::path(font).parent_path().c_str());
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
