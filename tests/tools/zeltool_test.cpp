// zeltool end to end: the real program on files made here, its results read
// back through the library (bitmaps, fonts drawn by ZelFont), the asset
// builders (shade tables) and ImageMagick as an independent decoder.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "font/font.h"
#include "test_support.h"
#include "tools/assets/asset_files.h"
#include "tools/assets/shade_builder.h"
#include "tools/zeltool/png_io.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

using zelassets::AssetBitmap;
using zelassets::Bytes;
using zelassets::Palette;
using zelassets::Rgb;

struct Result {
    int code = -1;
    std::string out, err;
};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Bytes bytesOf(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

std::string textOf(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

// Every entry distinct, none black: red is the index, so colours never tie.
Palette testPalette()
{
    Palette p;
    for (int i = 0; i < 256; ++i)
        p[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 37)};
    return p;
}

void put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(v >> (8 * i) & 0xff);
}

// A BMP 3.0 file: headers, colour table, then the pixel data as given.
std::string bmp(int w, int h, int bitsPerPixel, uint32_t compression, const std::vector<Rgb>& table,
                const std::string& pixelData)
{
    const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(table.size());
    std::string s = "BM";
    put32(s, offset + static_cast<uint32_t>(pixelData.size()));
    put32(s, 0);
    put32(s, offset);
    for (uint32_t v : {40u, static_cast<uint32_t>(w), static_cast<uint32_t>(h)})
        put32(s, v);
    s += {1, 0, static_cast<char>(bitsPerPixel), 0};
    for (uint32_t v : {compression, 0u, 0u, 0u, static_cast<uint32_t>(table.size()), 0u})
        put32(s, v);
    for (Rgb c : table)
        s += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r), 0};
    return s + pixelData;
}

// An uncompressed 8-bit BMP of rows (top first), rows padded to 4 bytes.
std::string bmp8(const std::vector<std::vector<uint8_t>>& rows, const std::vector<Rgb>& table)
{
    const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
    std::string data;
    for (int y = h - 1; y >= 0; --y) {
        for (uint8_t v : rows[y])
            data += static_cast<char>(v);
        data += std::string(static_cast<size_t>((4 - w % 4) % 4), '\0');
    }
    return bmp(w, h, 8, 0, table, data);
}

// A font whose A is 5 wide with a 3 x 4 box, g 4 wide with a descender, and
// a 2-wide space; cell height 5 + 2. Code 300 has no place in an engine font.
const std::string TinyBdf = R"(STARTFONT 2.1
FONT -test-tiny-medium-r-normal--7-70-75-75-c-50-iso8859-1
SIZE 7 75 75
FONTBOUNDINGBOX 5 7 0 -2
STARTPROPERTIES 2
FONT_ASCENT 5
FONT_DESCENT 2
ENDPROPERTIES
CHARS 4
STARTCHAR A
ENCODING 65
SWIDTH 714 0
DWIDTH 5 0
BBX 3 4 1 0
BITMAP
40
A0
E0
A0
ENDCHAR
STARTCHAR g
ENCODING 103
DWIDTH 4 0
BBX 3 4 0 -2
BITMAP
E0
A0
60
C0
ENDCHAR
STARTCHAR space
ENCODING 32
DWIDTH 2 0
BBX 0 0 0 0
BITMAP
ENDCHAR
STARTCHAR wide
ENCODING 300
DWIDTH 5 0
BBX 1 1 0 0
BITMAP
80
ENDCHAR
ENDFONT
)";

// PSF1: 256 glyphs 8 x 4; A is a small A in the left columns.
std::string psf1()
{
    std::string s = {0x36, 0x04, 0x00, 0x04};
    std::string glyphs(256 * 4, '\0');
    const char a[4] = {0x40, static_cast<char>(0xa0), static_cast<char>(0xe0), static_cast<char>(0xa0)};
    glyphs.replace(65 * 4, 4, a, 4);
    glyphs.replace(66 * 4, 4, "\xff\x81\x81\xff", 4);
    return s + glyphs;
}

// PSF2 with a Unicode table: glyph 0 (a 5 x 3 frame) shows U+0041, glyph 1
// (a triangle) U+00E9, and the sequence "xy" only.
std::string psf2()
{
    std::string s = "\x72\xb5\x4a\x86";
    for (uint32_t v : {0u, 32u, 1u, 2u, 3u, 3u, 5u})
        put32(s, v);
    s += "\xf8\x88\xf8";
    s += "\x20\x70\xf8";
    s += "A\xff";
    s += "\xc3\xa9\xfex y\xff";
    return s;
}

class Zeltool : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zeltoolXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        ZelFont::unloadAll();
        ZelSystem::SetRegistryString("ufsroot", nullptr);
        fs::remove_all(dir);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    std::string write(const std::string& name, const std::string& content) const
    {
        std::ofstream(path(name), std::ios::binary) << content;
        return path(name);
    }
    std::string write(const std::string& name, const Bytes& content) const { return write(name, textOf(content)); }

    std::string read(const std::string& name) const { return slurp(path(name)); }
    bool exists(const std::string& name) const { return fs::exists(path(name)); }

    // Runs zeltool in the test directory with the arguments as a shell would
    // split them.
    Result zeltool(const std::string& args) const
    {
        const std::string cmd = "cd '" + dir + "' && '" ZELTOOL_PATH "' " + args + " >'" + dir + "/.out' 2>'" + dir +
                                "/.err' </dev/null";
        Result r;
        const int status = std::system(cmd.c_str());
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = read(".out");
        r.err = read(".err");
        return r;
    }

    zeltool::Image png(const std::string& name) const { return zeltool::decodePng(bytesOf(read(name))); }

    std::string writePalette(const std::string& name, const Palette& p) const
    {
        return write(name, zelassets::encodePalette(p));
    }

    std::string writeBitmap(const std::string& name, const AssetBitmap& b) const
    {
        Bytes bytes;
        zelassets::encodeBitmap(b, bytes);
        return write(name, bytes);
    }

    // The font file drawn by the library: text at (0, 0) in colour 1 on a
    // screen of w x h.
    std::string drawnByLibrary(const std::string& fontName, const char* text, int w, int h) const
    {
        ZelSystem::SetRegistryString("ufsroot", dir.c_str());
        const int slot = ZelFont::load(fontName.c_str(), "");
        EXPECT_GE(slot, 0) << "the library cannot load " << fontName;
        ZelFont::setFont(slot);
        zeltest::ScreenSetup screen(w, h);
        ZelFont::put(0, 0, text, 1);
        std::string drawn = zeltest::picture(screen.bitmap());
        ZelFont::unloadAll();
        return drawn;
    }

    std::string dir;
};

std::string rows(std::initializer_list<const char*> lines)
{
    std::string s;
    for (const char* line : lines)
        s += std::string(line) + "\n";
    return s;
}

int lineCount(const std::string& s)
{
    int n = 0;
    for (char c : s)
        n += c == '\n';
    return n;
}

// ---------------------------------------------------------------- usage

TEST_F(Zeltool, HelpOnEveryCommandSucceeds)
{
    for (const char* command : {"", "bitmap", "palette", "font", "bitmap import", "bitmap export", "bitmap info",
                                "palette import", "palette export", "shade", "font build", "font preview",
                                "aggregate"}) {
        const Result r = zeltool(std::string(command) + " --help");
        EXPECT_EQ(r.code, 0) << command;
        EXPECT_NE(r.out.find("zeltool " + std::string(command)), std::string::npos) << command << ":\n" << r.out;
        EXPECT_EQ(r.err, "") << command;
    }
}

TEST_F(Zeltool, WrongCommandLinesExitTwoWithOneLine)
{
    write("in.bdf", TinyBdf);
    write("grid.png", zeltool::encodeIndexedPng(2, 2, reinterpret_cast<const uint8_t*>("\1\0\0\1"), testPalette()));
    for (const char* args : {"", "frobnicate", "bitmap", "bitmap convert a b", "bitmap import a.png",
                             "bitmap import a.png b.zbm c", "bitmap import a.png b.zbm --colour 3",
                             "bitmap import a.png b.zbm --palette", "bitmap import a.png b.zbm --origin 1",
                             "bitmap import a.png b.zbm --origin x,2", "shade a.pal out --haze 1,2,256",
                             "shade a.pal out --haze 1,2", "aggregate out.zbm", "palette export a.pal b.txt",
                             "font build grid.png out.fnt", "font build grid.png out.fnt --cell 0x3",
                             "font build grid.png out.fnt --cell 1x1 --first 256",
                             "font build in.bdf out.fnt --first 65",
                             "font preview a.fnt"}) {
        const Result r = zeltool(args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_EQ(lineCount(r.err), 1) << args << ":\n" << r.err;
        EXPECT_EQ(r.err.rfind("zeltool", 0), 0u) << args << ":\n" << r.err;
    }
    EXPECT_FALSE(exists("out.fnt"));
}

// ---------------------------------------------------------------- bitmaps

TEST_F(Zeltool, IndexedPngRoundTripKeepsIndicesPaletteAndOrigin)
{
    const Palette palette = testPalette();
    const std::vector<uint8_t> indices = {0, 1, 2, 255, 128, 7, 7, 0, 200, 3, 1, 254, 9, 10, 11};
    write("in.png", zeltool::encodeIndexedPng(5, 3, indices.data(), palette));
    writePalette("p.pal", palette);

    ASSERT_EQ(zeltool("bitmap import in.png sprite.zbm --origin 2,-1").code, 0);
    const std::string zbm = read("sprite.zbm");
    ASSERT_EQ(zbm.size(), 20u + 15u);
    AssetBitmap expected{5, 3, 2, -1, indices};
    Bytes encoded;
    zelassets::encodeBitmap(expected, encoded);
    EXPECT_EQ(bytesOf(zbm), encoded);

    // The library reads it as the same bitmap.
    HClass<ZelBitmap> loaded = ZelBitmap::Load(path("sprite.zbm").c_str(), "", 1);
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(loaded->width, 5);
    EXPECT_EQ(loaded->originY, -1);
    EXPECT_EQ(std::vector<uint8_t>(loaded->pixels(), loaded->pixels() + 15), indices);
    loaded.release();

    ASSERT_EQ(zeltool("bitmap export sprite.zbm out.png --palette p.pal").code, 0);
    const zeltool::Image back = png("out.png");
    ASSERT_TRUE(back.indexed);
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.pixels, indices);
    EXPECT_EQ(zeltool::fullPalette(back.palette), palette);

    // Without a palette an engine bitmap gets a grey ramp.
    ASSERT_EQ(zeltool("bitmap export sprite.zbm grey.png").code, 0);
    const zeltool::Image grey = png("grey.png");
    EXPECT_EQ(grey.pixels, indices);
    EXPECT_EQ(grey.palette.at(200), (Rgb{200, 200, 200}));
}

TEST_F(Zeltool, Bmp30RowsComeBottomUpWithPaddingAndKeepTheirColourTable)
{
    const std::vector<Rgb> table = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {10, 20, 30}};
    write("in.bmp", bmp8({{1, 2, 3}, {3, 0, 1}}, table));  // 3 wide: one padding byte per row
    ASSERT_EQ(zeltool("bitmap import in.bmp out.zbm").code, 0);
    EXPECT_EQ(read("out.zbm").substr(20), std::string("\1\2\3\3\0\1", 6));

    ASSERT_EQ(zeltool("bitmap export in.bmp out.png").code, 0);
    const zeltool::Image back = png("out.png");
    EXPECT_EQ(back.pixels, (std::vector<uint8_t>{1, 2, 3, 3, 0, 1}));
    EXPECT_EQ(back.palette.at(3), (Rgb{10, 20, 30}));
    EXPECT_EQ(back.palette.at(4), (Rgb{0, 0, 0}));

    const Result info = zeltool("bitmap info in.bmp");
    ASSERT_EQ(info.code, 0);
    for (const char* line : {"width: 3\n", "height: 2\n", "origin: 0,0\n", "engine bitmap bytes: 26\n",
                             "BMP 3.0 bytes: 1086\n"})
        EXPECT_NE(info.out.find(line), std::string::npos) << line << " in\n" << info.out;
}

TEST_F(Zeltool, RunLengthCodedBmpDecodesRunsLiteralsAndMoves)
{
    // RLE4, 5 x 2. Bottom row: a run of 5 alternating 1 and 2. Top row: 3
    // literal pixels, a move right by 1, a run of one 7, then the end.
    const std::vector<Rgb> table(16, Rgb{9, 9, 9});
    const std::string data("\x05\x12\x00\x00"
                           "\x00\x03\x34\x50"
                           "\x00\x02\x01\x00"
                           "\x01\x70\x00\x01",
                           16);
    write("rle.bmp", bmp(5, 2, 4, 2, table, data));
    const Result r = zeltool("bitmap import rle.bmp out.zbm");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(read("out.zbm").substr(20), std::string("\3\4\5\0\7\1\2\1\2\1", 10));

    write("cut.bmp", bmp(5, 2, 4, 2, table, data.substr(0, 9)));
    EXPECT_EQ(zeltool("bitmap import cut.bmp out2.zbm").code, 1);
}

TEST_F(Zeltool, TrueColourMapsToTheNearestVisibleEntryAndTransparentToZero)
{
    Palette palette = testPalette();
    palette[0] = {250, 250, 250};  // must never be chosen for a visible pixel
    writePalette("p.pal", palette);
    const Rgb near40 = {static_cast<uint8_t>(palette[40].r + 1), palette[40].g, palette[40].b};
    const std::vector<uint8_t> rgba = {
        palette[17].r, palette[17].g, palette[17].b, 255,  // exact entry
        near40.r,      near40.g,      near40.b,      128,  // near entry 40, half transparent
        250,           250,           250,           255,  // entry 0's colour, visible
        1,             2,             3,             0,    // invisible
    };
    write("in.png", zeltool::encodeRgbaPng(2, 2, rgba.data()));
    const int nearestToZero = zelassets::nearestColour(palette, {250, 250, 250}, zelassets::Candidates::Opaque);
    ASSERT_NE(nearestToZero, 0);

    const Result r = zeltool("bitmap import in.png out.zbm --palette p.pal");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(read("out.zbm").substr(20),
              (std::string{17, 40, static_cast<char>(nearestToZero), 0}));

    const Result noPalette = zeltool("bitmap import in.png out2.zbm");
    EXPECT_EQ(noPalette.code, 1);
    EXPECT_NE(noPalette.err.find("in.png"), std::string::npos);
}

TEST_F(Zeltool, AggregateStacksFramesAndNamesTheFrameOfAnotherWidth)
{
    const AssetBitmap a{3, 2, 1, 4, {1, 2, 3, 4, 5, 6}};
    const AssetBitmap b{3, 1, 9, 9, {7, 8, 9}};
    const AssetBitmap c{3, 3, 0, 0, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    writeBitmap("a.zbm", a);
    writeBitmap("b.zbm", b);
    writeBitmap("c.zbm", c);
    writeBitmap("wide.zbm", AssetBitmap{4, 1, 0, 0, {1, 1, 1, 1}});

    ASSERT_EQ(zeltool("aggregate strip.zbm a.zbm b.zbm c.zbm").code, 0);
    AssetBitmap strip{3, 6, 1, 4, {}};
    for (const AssetBitmap* f : {&a, &b, &c})
        strip.pixels.insert(strip.pixels.end(), f->pixels.begin(), f->pixels.end());
    Bytes expected;
    zelassets::encodeBitmap(strip, expected);
    EXPECT_EQ(bytesOf(read("strip.zbm")), expected);

    const Result r = zeltool("aggregate bad.zbm a.zbm wide.zbm c.zbm");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("wide.zbm"), std::string::npos) << r.err;
    EXPECT_FALSE(exists("bad.zbm"));
}

// ---------------------------------------------------------------- palettes

TEST_F(Zeltool, PaletteRoundTripsThroughGimpJascAndPng)
{
    const Palette palette = testPalette();
    writePalette("p.pal", palette);
    for (const char* ext : {"gpl", "pal", "png"}) {
        const std::string other = std::string("other.") + ext;
        ASSERT_EQ(zeltool("palette export p.pal " + other).code, 0) << ext;
        ASSERT_EQ(zeltool("palette import " + other + " back.pal").code, 0) << ext;
        EXPECT_EQ(read("back.pal"), read("p.pal")) << ext;
    }
    EXPECT_EQ(read("other.gpl").rfind("GIMP Palette\n", 0), 0u);
    EXPECT_EQ(read("other.pal").rfind("JASC-PAL\r\n0100\r\n256\r\n", 0), 0u);
}

TEST_F(Zeltool, ShortForeignPalettesAreFilledWithBlack)
{
    write("few.gpl", "GIMP Palette\nName: few\nColumns: 2\n# comment\n255 0 0 red\n  0 128 255\tsky\n\n");
    write("few.pal", "JASC-PAL\n0100\n1\n1 2 3\n");
    ASSERT_EQ(zeltool("palette import few.gpl a.pal").code, 0);
    ASSERT_EQ(zeltool("palette import few.pal b.pal").code, 0);
    std::string expected(768, '\0');
    expected.replace(0, 6, "\xff\0\0\0\x80\xff", 6);
    EXPECT_EQ(read("a.pal"), expected);
    EXPECT_EQ(read("b.pal"), std::string("\1\2\3", 3) + std::string(765, '\0'));

    write("bad.gpl", "GIMP Palette\n1 2 3\n4 five 6\n");
    const Result r = zeltool("palette import bad.gpl c.pal");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("bad.gpl: line 3"), std::string::npos) << r.err;
}

TEST_F(Zeltool, PreviewSwatchShowsEntryIAtColumnIMod16RowIDiv16)
{
    const Palette palette = testPalette();
    writePalette("p.pal", palette);
    ASSERT_EQ(zeltool("palette export p.pal p.gpl --preview swatch.png").code, 0);
    const zeltool::Image swatch = png("swatch.png");
    ASSERT_EQ(swatch.width, 256);
    ASSERT_EQ(swatch.height, 256);
    EXPECT_EQ(zeltool::fullPalette(swatch.palette), palette);
    for (int i : {0, 1, 15, 16, 100, 255}) {
        const int x = i % 16 * 16 + 7, y = i / 16 * 16 + 9;
        EXPECT_EQ(swatch.pixels[static_cast<size_t>(y * 256 + x)], i);
    }
}

// ---------------------------------------------------------------- shade tables

TEST_F(Zeltool, ShadeTablesAreTheBuildersTowardBlackOrHaze)
{
    const Palette palette = testPalette();
    writePalette("night.pal", palette);
    const Result r = zeltool("shade night.pal night.pal");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(r.err.empty());  // the progress line
    const zelassets::ShadeTables plain = zelassets::buildShadeTables(palette);
    EXPECT_EQ(bytesOf(read("night.DRK")), zelassets::encodeShadeTable(plain.dark));
    EXPECT_EQ(bytesOf(read("night.LHT")), zelassets::encodeShadeTable(plain.light));

    ASSERT_EQ(zeltool("shade night.pal fog --haze 90,100,110").code, 0);
    const zelassets::ShadeTables fog = zelassets::buildShadeTables(palette, {90, 100, 110});
    EXPECT_EQ(bytesOf(read("fog.DRK")), zelassets::encodeShadeTable(fog.dark));
    EXPECT_EQ(bytesOf(read("fog.LHT")), zelassets::encodeShadeTable(fog.light));
    EXPECT_NE(fog.dark, plain.dark);
}

// ---------------------------------------------------------------- fonts

TEST_F(Zeltool, BdfGlyphsSitOnTheBaselineAsTheLibraryDrawsThem)
{
    write("tiny.bdf", TinyBdf);
    const Result r = zeltool("font build tiny.bdf tiny.fnt");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(drawnByLibrary("tiny.fnt", "Ag", 10, 7), rows({
                                                          "..........",
                                                          "..1.......",
                                                          ".1.1......",
                                                          ".111.111..",
                                                          ".1.1.1.1..",
                                                          "......11..",
                                                          ".....11...",
                                                      }));
    ZelSystem::SetRegistryString("ufsroot", dir.c_str());
    ZelFont::setFont(ZelFont::load("tiny.fnt", ""));
    EXPECT_EQ(ZelFont::getWidth("A g"), 5 + 2 + 4);  // the advances, the space's from DWIDTH
    EXPECT_EQ(ZelFont::getHeight("A"), 7);           // every glyph is the cell height
    EXPECT_EQ(ZelFont::currentFont->count, 3u);      // code 300 is left out
}

TEST_F(Zeltool, PsfFontsOfBothVersions)
{
    write("v1.psf", psf1());
    ASSERT_EQ(zeltool("font build v1.psf v1.fnt").code, 0);
    EXPECT_EQ(drawnByLibrary("v1.fnt", "AB", 17, 4), rows({
                                                         ".1......11111111.",
                                                         "1.1.....1......1.",
                                                         "111.....1......1.",
                                                         "1.1.....11111111.",
                                                     }));

    // The Unicode table decides: A is glyph 0, e acute glyph 1, x has none.
    write("v2.psf", psf2());
    ASSERT_EQ(zeltool("font build v2.psf v2.fnt").code, 0);
    EXPECT_EQ(drawnByLibrary("v2.fnt", "A\xe9x", 14, 3), rows({
                                                             "11111..1......",
                                                             "1...1.111.....",
                                                             "1111111111....",
                                                         }));
}

TEST_F(Zeltool, GridPicturesGiveOneGlyphPerCellInReadingOrder)
{
    // Cells of 2 x 2 in a 3 x 2 grid from code 65; the last cell is empty.
    const std::vector<uint8_t> indices = {
        5, 0, 0, 9, 0, 0,  //
        0, 5, 9, 9, 0, 0,  //
        3, 3, 0, 0, 0, 0,  //
        0, 0, 0, 0, 0, 0,  //
    };
    write("grid.png", zeltool::encodeIndexedPng(6, 4, indices.data(), testPalette()));
    ASSERT_EQ(zeltool("font build grid.png grid.fnt --cell 2x2 --first 65").code, 0);
    EXPECT_EQ(drawnByLibrary("grid.fnt", "ABCDE", 11, 2), rows({
                                                              "1..1..11...",
                                                              ".111.......",
                                                          }));  // E has no glyph: 3 blank columns

    // True colour: ink differs from the top-left pixel and is visible.
    const uint8_t W[4] = {255, 255, 255, 255}, K[4] = {0, 0, 0, 255}, T[4] = {0, 0, 0, 0};
    std::vector<uint8_t> rgba;
    for (const uint8_t* p : {W, K, K, W, T, W, W, K})
        rgba.insert(rgba.end(), p, p + 4);
    write("grid2.png", zeltool::encodeRgbaPng(4, 2, rgba.data()));
    ASSERT_EQ(zeltool("font build grid2.png grid2.fnt --cell 2x2 --first 0x61").code, 0);
    EXPECT_EQ(drawnByLibrary("grid2.fnt", "ab", 4, 2), rows({".11.", "...1"}));
}

TEST_F(Zeltool, FontPreviewIsTheLibrarysDrawingOfTheText)
{
    write("tiny.bdf", TinyBdf);
    ASSERT_EQ(zeltool("font build tiny.bdf tiny.fnt").code, 0);
    Palette palette = testPalette();
    palette[0] = {0, 0, 0};
    palette[77] = {255, 255, 255};
    writePalette("p.pal", palette);
    const Result r = zeltool("font preview tiny.fnt out.png --text A --palette p.pal");
    ASSERT_EQ(r.code, 0) << r.err;
    const zeltool::Image image = png("out.png");
    ASSERT_EQ(image.width, 5 + 4);  // the glyph and a margin of 2 on both sides
    ASSERT_EQ(image.height, 7 + 4);
    EXPECT_EQ(zeltool::fullPalette(image.palette), palette);
    std::string drawn;
    for (int y = 2; y < 9; ++y) {
        for (int x = 2; x < 7; ++x) {
            const uint8_t v = image.pixels[static_cast<size_t>(y * image.width + x)];
            drawn += v == 77 ? '#' : v == 0 ? '.' : '?';
        }
        drawn += '\n';
    }
    EXPECT_EQ(drawn, rows({".....", "..#..", ".#.#.", ".###.", ".#.#.", ".....", "....."}));

    // UTF-8 text is drawn by Latin-1 code: e acute is one glyph, 5 wide.
    write("v2.psf", psf2());
    ASSERT_EQ(zeltool("font build v2.psf v2.fnt").code, 0);
    ASSERT_EQ(zeltool("font preview v2.fnt e.png --text '\xc3\xa9'").code, 0);
    EXPECT_EQ(png("e.png").width, 5 + 4);

    // The default text shows every glyph.
    ASSERT_EQ(zeltool("font preview tiny.fnt all.png").code, 0);
    EXPECT_EQ(png("all.png").width, 2 + 5 + 4 + 4);  // space, A, g
}

// ---------------------------------------------------------------- ImageMagick

// Debian's ImageMagick; elsewhere convert may be missing or a stand-in that
// cannot decode. Probed once: a red pixel must come back as red.
bool haveImageMagick(const std::string& scratch)
{
    static const bool have = [&] {
        const std::string out = scratch + "/probe.rgb";
        const std::string cmd = "/usr/bin/convert -size 1x1 xc:red -depth 8 rgb:'" + out + "' >/dev/null 2>&1";
        return std::system(cmd.c_str()) == 0 && slurp(out) == "\xff\0\0"s;
    }();
    return have;
}

class WithImageMagick : public Zeltool {
protected:
    void SetUp() override
    {
        Zeltool::SetUp();
        if (!haveImageMagick(dir))
            GTEST_SKIP() << "ImageMagick (/usr/bin/convert) is not installed or does not work";
    }

    void convert(const std::string& args) const
    {
        const std::string cmd = "cd '" + dir + "' && /usr/bin/convert " + args + " 2>/dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }

    // The picture's pixels as ImageMagick decodes them.
    std::vector<Rgb> decodedByImageMagick(const std::string& name) const
    {
        const std::string cmd = "cd '" + dir + "' && /usr/bin/convert " + name + " -depth 8 rgb:.rgb";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
        const std::string raw = read(".rgb");
        std::vector<Rgb> pixels;
        for (size_t i = 0; i + 2 < raw.size(); i += 3)
            pixels.push_back({static_cast<uint8_t>(raw[i]), static_cast<uint8_t>(raw[i + 1]),
                              static_cast<uint8_t>(raw[i + 2])});
        return pixels;
    }

    // Imports a picture and checks that the engine bitmap's indices, through
    // the palette, show what ImageMagick sees in it.
    void expectSameColours(const std::string& name, const std::string& paletteOption) const
    {
        const Result r = zeltool("bitmap import " + name + " out.zbm " + paletteOption);
        ASSERT_EQ(r.code, 0) << name << ": " << r.err;
        ASSERT_EQ(zeltool("bitmap export out.zbm out.png " + paletteOption).code, 0);
        const std::vector<Rgb> expected = decodedByImageMagick(name);
        const zeltool::Image back = png("out.png");
        ASSERT_EQ(back.pixelCount(), expected.size()) << name;
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(back.palette.at(back.pixels[i]), expected[i]) << name << " pixel " << i;
        // And ImageMagick sees the same in the PNG that zeltool wrote.
        EXPECT_EQ(decodedByImageMagick("out.png"), expected) << name;
    }
};

TEST_F(WithImageMagick, IndexedBmpAndPngKeepTheirColours)
{
    convert("-size 8x6 xc:red -colors 16 BMP3:red.bmp");                                 // 1 bit per pixel
    convert("-size 8x6 gradient:red-blue -colors 16 BMP3:ramp4.bmp");                     // 4 bits
    convert("-seed 7 -size 13x7 plasma:fractal -colors 100 -type Palette BMP3:ramp8.bmp");  // 8 bits, RLE8
    convert("-size 8x6 gradient:red-blue -colors 16 BMP2:os2.bmp");                      // OS/2 header
    convert("-size 9x5 gradient:yellow-green png8:ramp.png");
    for (const char* bmp : {"red.bmp", "ramp4.bmp", "ramp8.bmp", "os2.bmp"}) {
        // A BMP carries its colour table into the export by itself.
        const Result r = zeltool(std::string("bitmap import ") + bmp + " out.zbm");
        ASSERT_EQ(r.code, 0) << bmp << ": " << r.err;
        ASSERT_EQ(zeltool(std::string("bitmap export ") + bmp + " table.png").code, 0);
        const zeltool::Image table = png("table.png");
        const std::vector<Rgb> expected = decodedByImageMagick(bmp);
        const std::string pixels = read("out.zbm").substr(20);
        ASSERT_EQ(pixels.size(), expected.size()) << bmp;
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(table.palette.at(static_cast<uint8_t>(pixels[i])), expected[i]) << bmp << " pixel " << i;
    }
    ASSERT_EQ(zeltool("palette import ramp.png ramp.pal").code, 0);
    expectSameColours("ramp.png", "--palette ramp.pal");
}

TEST_F(WithImageMagick, TrueColourPicturesMapExactlyOntoAPaletteHoldingTheirColours)
{
    convert("-size 8x6 gradient:red-blue -type TrueColor png24:true.png");
    convert("-size 5x4 gradient:white-black -type Grayscale png:grey.png");
    convert("-size 7x3 gradient:red-blue -type TrueColor BMP3:true24.bmp");
    convert("-size 7x3 gradient:green-blue -alpha on -channel A -evaluate set 50% BMP:alpha32.bmp");
    for (const char* name : {"true.png", "grey.png", "true24.bmp", "alpha32.bmp"}) {
        // A palette of the picture's own colours, from entry 1 on.
        Palette palette{};
        std::set<std::vector<uint8_t>> seen;
        int next = 1;
        for (Rgb c : decodedByImageMagick(name))
            if (seen.insert({c.r, c.g, c.b}).second && next < 256)
                palette[next++] = c;
        writePalette("own.pal", palette);
        expectSameColours(name, "--palette own.pal");
    }
}

// ---------------------------------------------------------------- bad input

TEST_F(Zeltool, BadFilesFailWithOneLineNamingTheFile)
{
    const Palette palette = testPalette();
    const std::vector<uint8_t> indices(12, 3);
    const Bytes goodPng = zeltool::encodeIndexedPng(4, 3, indices.data(), palette);
    write("good.png", goodPng);
    writeBitmap("good.zbm", AssetBitmap{4, 3, 0, 0, indices});
    const Bytes goodPal = zelassets::encodePalette(palette);
    writePalette("good.pal", palette);
    zelassets::AssetFont font;
    font.glyphs.push_back(AssetBitmap{2, 2, 0, 0, {1, 0, 0, 1}});
    font.charMap['A'] = 1;
    const Bytes goodFnt = zelassets::encodeFont(font);
    const std::string goodBmp = bmp8({{1, 2, 3}, {3, 0, 1}}, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}});

    const auto half = [](const auto& whole) { return textOf(Bytes(whole.begin(), whole.begin() + whole.size() / 2)); };
    const std::string text = "this is not what you think it is\n";
    const std::string psfCut = psf2().substr(0, 40);
    const std::string bigHeader = textOf(Bytes{0xff, 0xff, 0xff, 0x7f, 0xff, 0xff, 0xff, 0x7f}) + std::string(20, 'x');

    struct Case {
        const char* command;  // IN stands for the bad file
        std::vector<std::string> contents;
    };
    const Case cases[] = {
        {"bitmap import IN out.zbm", {"", half(goodPng), text, half(goodBmp), textOf(goodPal)}},
        {"bitmap import good.png out.zbm --palette IN", {}},  // true colour needs it: below
        {"bitmap export IN out.png", {"", half(read("good.zbm")), text, bigHeader, half(goodBmp)}},
        {"bitmap info IN", {"", half(goodPng), text, bigHeader}},
        {"palette import IN out.pal", {"", half(goodPng), text, "GIMP Palette\n1 2\n", "JASC-PAL\n0100\n3\n1 2 3\n"}},
        {"palette export IN out.gpl", {"", half(goodPal), textOf(goodPng)}},
        {"shade IN out", {"", half(goodPal), text}},
        {"font build IN out.fnt", {"", TinyBdf.substr(0, TinyBdf.size() / 2), text, psfCut}},
        {"font preview IN out.png", {"", half(goodFnt), text, textOf(goodPal)}},
        {"aggregate out.zbm good.zbm IN", {"", half(read("good.zbm")), text}},
    };
    std::vector<uint8_t> rgba(4 * 4, 200);
    write("true.png", zeltool::encodeRgbaPng(2, 2, rgba.data()));

    int n = 0;
    for (const Case& c : cases) {
        std::vector<std::string> contents = c.contents;
        std::string command = c.command;
        if (contents.empty()) {
            command = "bitmap import true.png out.zbm --palette IN";
            contents = {"", half(goodPal), textOf(goodPng)};
        }
        for (const std::string& content : contents) {
            const std::string name = "bad" + std::to_string(n++) + ".in";
            write(name, content);
            std::string args = command;
            args.replace(args.find("IN"), 2, name);
            const Result r = zeltool(args);
            EXPECT_EQ(r.code, 1) << args << ":\n" << r.err;
            EXPECT_EQ(lineCount(r.err), 1) << args << ":\n" << r.err;
            EXPECT_EQ(r.err.rfind("zeltool: " + name + ": ", 0), 0u) << args << ":\n" << r.err;
            EXPECT_FALSE(exists("out.zbm") || exists("out.png") || exists("out.pal") || exists("out.gpl") ||
                         exists("out.fnt") || exists("out.DRK"))
                << args;
        }
    }
    const Result missing = zeltool("bitmap info nosuch.zbm");
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "zeltool: nosuch.zbm: No such file or directory\n");
}

TEST_F(Zeltool, NeverOverwritesAnInput)
{
    write("in.png", zeltool::encodeIndexedPng(1, 1, reinterpret_cast<const uint8_t*>("\7"), testPalette()));
    writePalette("p.pal", testPalette());
    ASSERT_EQ(link(path("in.png").c_str(), path("linked.png").c_str()), 0);
    const std::string before = read("in.png");
    for (const char* args : {"bitmap import in.png in.png", "bitmap import in.png ./in.png",
                             "bitmap import in.png linked.png", "bitmap export in.png p.pal --palette p.pal",
                             "palette export p.pal p.pal", "palette export p.pal x.gpl --preview p.pal",
                             "aggregate in.png in.png", "font build in.png in.png --cell 1x1"}) {
        const Result r = zeltool(args);
        EXPECT_EQ(r.code, 1) << args;
        EXPECT_NE(r.err.find("refusing to overwrite"), std::string::npos) << args << ":\n" << r.err;
    }
    EXPECT_EQ(read("in.png"), before);
    EXPECT_EQ(bytesOf(read("p.pal")), zelassets::encodePalette(testPalette()));
}

}  // namespace
