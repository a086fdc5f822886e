// zeltool end to end: the real program on files made here or by ImageMagick,
// its results read back through the library (bitmaps, fonts drawn by
// ZelFont), the asset builders (shade tables) and ImageMagick as an
// independent decoder. The small fonts it reads are in zeltool_data/.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "font/font.h"
#include "test_support.h"
#include "tools/assets/asset_files.h"
#include "tools/assets/palette_design.h"
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
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string textOf(const Bytes& b) { return std::string(b.begin(), b.end()); }
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

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
    for (uint32_t v : {offset + static_cast<uint32_t>(pixelData.size()), 0u, offset, 40u, static_cast<uint32_t>(w),
                       static_cast<uint32_t>(h)})
        put32(s, v);
    s += {1, 0, static_cast<char>(bitsPerPixel), 0};
    for (uint32_t v : {compression, 0u, 0u, 0u, static_cast<uint32_t>(table.size()), 0u})
        put32(s, v);
    for (Rgb c : table)
        s += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r), 0};
    return s + pixelData;
}

std::string rows(std::initializer_list<const char*> lines)
{
    std::string s;
    for (const char* line : lines)
        s += std::string(line) + "\n";
    return s;
}

int lineCount(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

class Zeltool : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zeltoolXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        for (const char* name : {"tiny.bdf", "v1.psf", "v2.psf"})
            fs::copy_file(ZELTOOL_DATA "/"s + name, path(name));
    }
    void TearDown() override
    {
        ZelFont::unloadAll();
        ZelSystem::SetRegistryString("ufsroot", nullptr);
        fs::remove_all(dir);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }
    void write(const std::string& name, const std::string& content) const
    {
        std::ofstream(path(name), std::ios::binary) << content;
    }
    void write(const std::string& name, const Bytes& content) const { write(name, textOf(content)); }
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
    void ok(const std::string& args) const
    {
        const Result r = zeltool(args);
        ASSERT_EQ(r.code, 0) << args << ":\n" << r.err;
    }

    zeltool::Image png(const std::string& name) const { return zeltool::decodePng(bytesOf(read(name))); }
    void writePalette(const std::string& name, const Palette& p) const { write(name, zelassets::encodePalette(p)); }
    void writeBitmap(const std::string& name, const AssetBitmap& b) const
    {
        Bytes bytes;
        zelassets::encodeBitmap(b, bytes);
        write(name, bytes);
    }
    std::string pixelsOf(const std::string& zbm) const { return read(zbm).substr(zelassets::BitmapHeaderBytes); }

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

// ---------------------------------------------------------------- usage

TEST_F(Zeltool, HelpAndVersionOnEveryCommandAndOneLineForWrongCommandLines)
{
    for (const char* command : {"", "bitmap import", "bitmap export", "bitmap info", "palette import",
                                "palette export", "shade", "font build", "font preview", "aggregate"}) {
        const Result help = zeltool(std::string(command) + " --help");
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_TRUE(has(help.out, "zeltool "s + command)) << command << ":\n" << help.out;
        const Result version = zeltool(std::string(command) + " --version");
        EXPECT_EQ(version.out.rfind("zeltool (zelgfx) ", 0), 0u) << command << ":\n" << version.out;
        EXPECT_EQ(help.err + version.err, "") << command;
    }
    write("grid.png", zeltool::encodeIndexedPng(2, 2, reinterpret_cast<const uint8_t*>("\1\0\0\1"), testPalette()));
    for (const char* args :
         {"", "frobnicate", "bitmap", "bitmap convert a b", "bitmap import a.png", "bitmap import a.png b.zbm c",
          "bitmap import a.png b.zbm --colour 3", "bitmap import a.png b.zbm --palette",
          "bitmap import a.png b.zbm --origin x,2", "bitmap import a b --remap p --palette p",
          "bitmap import a b --remap p --make-palette q", "bitmap import a b --make-palette q --dither ordered",
          "bitmap import a b --reserve 8", "bitmap import a b --make-palette q --reserve 0",
          "bitmap import a b --dither none", "bitmap import a b --frame -1", "shade a.pal out --haze 1,2",
          "aggregate out.zbm", "palette export a.pal b.txt", "font build grid.png out.fnt",
          "font build grid.png out.fnt --cell 0x3", "font build tiny.bdf out.fnt --first 65",
          "font build tiny.bdf out.fnt --threshold 0", "font build tiny.bdf out.fnt --charset cp850", "font preview tiny.fnt out.png --text '\xff'",
          "font build /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf out.fnt", "font preview a.fnt"}) {
        const Result r = zeltool(args);
        EXPECT_EQ(r.code, 2) << args << ":\n" << r.err;
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
    const Result r = zeltool("bitmap import in.png sprite.zbm --origin 2,-1 --palette-out own.pal");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(has(r.err, "kept the indices of in.png and wrote its palette of 256 colours to own.pal")) << r.err;
    EXPECT_EQ(bytesOf(read("own.pal")), zelassets::encodePalette(palette));
    HClass<ZelBitmap> loaded = ZelBitmap::Load(path("sprite.zbm").c_str(), "", 1);
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ((std::vector<int>{loaded->width, loaded->originX, loaded->originY}), (std::vector<int>{5, 2, -1}));
    EXPECT_EQ(std::vector<uint8_t>(loaded->pixels(), loaded->pixels() + 15), indices);
    loaded.release();

    ok("bitmap export sprite.zbm out.png --palette own.pal");
    const zeltool::Image back = png("out.png");
    EXPECT_EQ(back.pixels, indices);
    EXPECT_EQ(zeltool::fullPalette(back.palette), palette);
    ok("bitmap export sprite.zbm grey.png");  // without a palette: a grey ramp
    EXPECT_EQ(png("grey.png").palette.at(200), (Rgb{200, 200, 200}));

    // Without --palette-out the palette is not written, and zeltool says so.
    const Result kept = zeltool("bitmap import in.png again.zbm");
    EXPECT_TRUE(has(kept.err, "its own palette (256 colours) is not written")) << kept.err;
}

TEST_F(Zeltool, BmpRowsComeBottomUpWithPaddingAndRunLengthCodes)
{
    const std::vector<Rgb> table = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {10, 20, 30}};
    write("in.bmp", bmp(3, 2, 8, 0, table, "\3\0\1\0\1\2\3\0"s));  // 3 wide: one padding byte per row
    ok("bitmap import in.bmp out.zbm");
    EXPECT_EQ(pixelsOf("out.zbm"), "\1\2\3\3\0\1"s);
    ok("bitmap export in.bmp out.png");
    EXPECT_EQ(png("out.png").palette.at(3), (Rgb{10, 20, 30}));
    const Result info = zeltool("bitmap info in.bmp");
    for (const char* line : {"BMP, indexed, 4 colours\n", "width: 3\n", "height: 2\n", "engine bitmap bytes: 26\n",
                             "BMP 3.0 bytes: 1086\n"})
        EXPECT_TRUE(has(info.out, line)) << line << " in\n" << info.out;

    // RLE4, 5 x 2. Bottom row: a run of 5 alternating 1 and 2. Top row: 3
    // literal pixels, a move right by 1, a run of one 7, then the end.
    const std::string data("\x05\x12\x00\x00\x00\x03\x34\x50\x00\x02\x01\x00\x01\x70\x00\x01", 16);
    write("rle.bmp", bmp(5, 2, 4, 2, std::vector<Rgb>(16, Rgb{9, 9, 9}), data));
    ok("bitmap import rle.bmp out.zbm");
    EXPECT_EQ(pixelsOf("out.zbm"), "\3\4\5\0\7\1\2\1\2\1"s);
    write("cut.bmp", bmp(5, 2, 4, 2, std::vector<Rgb>(16, Rgb{9, 9, 9}), data.substr(0, 9)));
    EXPECT_EQ(zeltool("bitmap import cut.bmp out2.zbm").code, 1);
}

TEST_F(Zeltool, WithoutDitheringTrueColourTakesTheNearestVisibleEntryAndTransparentIsZero)
{
    Palette palette = testPalette();
    palette[0] = {250, 250, 250};  // must never be chosen for a visible pixel
    writePalette("p.pal", palette);
    const std::vector<uint8_t> rgba = {
        palette[17].r, palette[17].g, palette[17].b, 255,  // exact entry
        41, palette[40].g, palette[40].b, 128,              // near entry 40, half transparent
        250, 250, 250, 255,                                 // entry 0's colour, visible
        1, 2, 3, 0,                                         // invisible
    };
    write("in.png", zeltool::encodeRgbaPng(2, 2, rgba.data()));
    const int nearestToZero = zelassets::nearestColour(palette, {250, 250, 250}, zelassets::Candidates::Opaque);
    const Result r = zeltool("bitmap import in.png out.zbm --palette p.pal --dither none");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(pixelsOf("out.zbm"), (std::string{17, 40, static_cast<char>(nearestToZero), 0}));
    EXPECT_TRUE(has(r.err, "PSNR")) << r.err;

    EXPECT_TRUE(has(zeltool("bitmap import in.png out2.zbm").err, "in.png: is a true-colour picture"));
}

TEST_F(Zeltool, AggregateStacksFramesAndNamesTheFrameOfAnotherWidth)
{
    writeBitmap("a.zbm", AssetBitmap{3, 2, 1, 4, {1, 2, 3, 4, 5, 6}});
    writeBitmap("b.zbm", AssetBitmap{3, 1, 9, 9, {7, 8, 9}});
    writeBitmap("wide.zbm", AssetBitmap{4, 1, 0, 0, {1, 1, 1, 1}});
    ok("aggregate strip.zbm a.zbm b.zbm");
    Bytes expected;
    zelassets::encodeBitmap(AssetBitmap{3, 3, 1, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9}}, expected);
    EXPECT_EQ(bytesOf(read("strip.zbm")), expected);
    EXPECT_TRUE(has(zeltool("aggregate bad.zbm a.zbm wide.zbm").err, "wide.zbm"));
    EXPECT_FALSE(exists("bad.zbm"));
}

// ---------------------------------------------------------------- palettes and shades

TEST_F(Zeltool, PalettesRoundTripThroughGimpJascAndPngAndShortOnesFillWithBlack)
{
    writePalette("p.pal", testPalette());
    for (const char* ext : {"gpl", "pal", "png"}) {
        ok("palette export p.pal other."s + ext + " --preview swatch.png");
        ok("palette import other."s + ext + " back.pal");
        EXPECT_EQ(read("back.pal"), read("p.pal")) << ext;
    }
    const zeltool::Image swatch = png("swatch.png");  // entry i at column i % 16, row i / 16
    ASSERT_EQ(swatch.width, 256);
    for (int i : {0, 15, 16, 255})
        EXPECT_EQ(swatch.pixels[static_cast<size_t>((i / 16 * 16 + 9) * 256 + i % 16 * 16 + 7)], i);

    write("few.gpl", "GIMP Palette\nName: few\n# comment\n255 0 0 red\n  0 128 255\tsky\n");
    ok("palette import few.gpl a.pal");
    EXPECT_EQ(read("a.pal"), "\xff\0\0\0\x80\xff"s + std::string(762, '\0'));
    write("bad.gpl", "GIMP Palette\n1 2 3\n4 five 6\n");
    EXPECT_TRUE(has(zeltool("palette import bad.gpl c.pal").err, "bad.gpl: line 3"));
}

TEST_F(Zeltool, ShadeTablesAreTheBuildersTowardBlackOrHaze)
{
    writePalette("night.pal", testPalette());
    ok("shade night.pal fog --haze 90,100,110");
    const zelassets::ShadeTables fog = zelassets::buildShadeTables(testPalette(), {90, 100, 110});
    EXPECT_EQ(bytesOf(read("fog.DRK")), zelassets::encodeShadeTable(fog.dark));
    EXPECT_EQ(bytesOf(read("fog.LHT")), zelassets::encodeShadeTable(fog.light));
}

// ---------------------------------------------------------------- fonts

TEST_F(Zeltool, BdfAndPsfGlyphsSitOnTheBaselineAsTheLibraryDrawsThem)
{
    ok("font build tiny.bdf tiny.fnt");
    EXPECT_EQ(drawnByLibrary("tiny.fnt", "Ag", 10, 7),
              rows({"..........", "..1.......", ".1.1......", ".111.111..", ".1.1.1.1..", "......11..", ".....11..."}));
    ZelSystem::SetRegistryString("ufsroot", dir.c_str());
    ZelFont::setFont(ZelFont::load("tiny.fnt", ""));
    EXPECT_EQ(ZelFont::getWidth("A g"), 5 + 2 + 4);  // the advances, the space's from DWIDTH
    EXPECT_EQ(ZelFont::currentFont->count, 3u);      // code 300 is in no character set
    ZelFont::unloadAll();

    ok("font build v1.psf v1.fnt");  // no Unicode table: its own codes
    EXPECT_EQ(drawnByLibrary("v1.fnt", "AB", 17, 4),
              rows({".1......11111111.", "1.1.....1......1.", "111.....1......1.", "1.1.....11111111."}));
    // The Unicode table decides: A is glyph 0, e acute glyph 1, x has none.
    ok("font build v2.psf v2.fnt");
    EXPECT_EQ(drawnByLibrary("v2.fnt", "A\xe9x", 14, 3), rows({"11111..1......", "1...1.111.....", "1111111111...."}));
    ok("font build v2.psf v2cp.fnt --charset cp437");  // e acute is 0x82 there
    EXPECT_EQ(drawnByLibrary("v2cp.fnt", "\x82", 5, 3), rows({"..1..", ".111.", "11111"}));
}

TEST_F(Zeltool, GridPicturesGiveOneGlyphPerCellInReadingOrder)
{
    const std::vector<uint8_t> indices = {5, 0, 0, 9, 0, 0, 0, 5, 9, 9, 0, 0, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    write("grid.png", zeltool::encodeIndexedPng(6, 4, indices.data(), testPalette()));
    ok("font build grid.png grid.fnt --cell 2x2 --first 65");  // the last cell is empty
    EXPECT_EQ(drawnByLibrary("grid.fnt", "ABCDE", 11, 2), rows({"1..1..11...", ".111......."}));
}

// The system's fonts: PCF from xfonts-base, TrueType from fonts-dejavu-core.
class SystemFonts : public Zeltool {
protected:
    void SetUp() override
    {
        Zeltool::SetUp();
        for (const char* f : {Pcf, Ttf})
            if (!fs::exists(f))
                GTEST_SKIP() << f << " is not installed";
    }
    // The glyph of one code as the library draws it.
    std::string glyph(const std::string& font, char code, int w, int h) const
    {
        const char text[2] = {code, 0};
        return drawnByLibrary(font, text, w, h);
    }
    static constexpr const char* Pcf = "/usr/share/fonts/X11/misc/6x13.pcf.gz";
    static constexpr const char* Ttf = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
};

TEST_F(SystemFonts, CharacterSetsPutTheSameCharacterInTheirOwnCodes)
{
    ok("font build "s + Pcf + " latin1.fnt");
    ok("font build "s + Pcf + " cp437.fnt --charset cp437");
    EXPECT_EQ(glyph("cp437.fnt", '\x82', 6, 13), glyph("latin1.fnt", '\xe9', 6, 13));  // e acute
    EXPECT_NE(glyph("cp437.fnt", '\xc9', 6, 13), glyph("latin1.fnt", '\xc9', 6, 13));  // box corner, E acute
    EXPECT_TRUE(has(glyph("cp437.fnt", '\xc9', 6, 13), "1")) << "the box corner has ink";

    // The preview draws UTF-8 text through the same set.
    ok("font preview cp437.fnt box.png --charset cp437 --text '\xe2\x95\x94'");  // U+2554, box corner
    const zeltool::Image box = png("box.png");
    std::string drawn;
    for (int y = 2; y < box.height - 2; ++y) {
        for (int x = 2; x < box.width - 2; ++x)
            drawn += box.pixels[static_cast<size_t>(y * box.width + x)] == 255 ? '1' : '.';
        drawn += '\n';
    }
    EXPECT_EQ(drawn, glyph("cp437.fnt", '\xc9', 6, 13));

    // An outline font, with a list file giving code 'A' the euro sign.
    write("list.txt", "# euro\n0x41 U+20AC\n66 \xe2\x82\xac\n");
    ok("font build "s + Ttf + " dv.fnt --size 16 --charset cp1252");
    ok("font build "s + Ttf + " list.fnt --size 16 --charset list.txt");
    const std::string euro = glyph("dv.fnt", '\x80', 12, 19);
    EXPECT_TRUE(has(euro, "1"));
    EXPECT_EQ(glyph("list.fnt", 'A', 12, 19), euro);
    EXPECT_EQ(glyph("list.fnt", 'B', 12, 19), euro);
    ok("font build "s + Ttf + " thin.fnt --size 16 --charset cp1252 --threshold 250");
    const std::string thin = glyph("thin.fnt", '\x80', 12, 19);
    EXPECT_LT(std::count(thin.begin(), thin.end(), '1'), std::count(euro.begin(), euro.end(), '1'));

    EXPECT_TRUE(has(zeltool("font preview dv.fnt e.png --charset cp1252 --text '\xe2\x95\x94'").err, "no code in"));
}

// ---------------------------------------------------------------- ImageMagick

// Debian's ImageMagick; elsewhere convert may be missing or a stand-in that
// cannot decode. Probed once: a red pixel must come back as red.
class WithImageMagick : public Zeltool {
protected:
    void SetUp() override
    {
        Zeltool::SetUp();
        static const bool have = std::system(("/usr/bin/convert -size 1x1 xc:red -depth 8 rgb:" + dir +
                                              "/probe.rgb >/dev/null 2>&1").c_str()) == 0 &&
                                 read("probe.rgb") == "\xff\0\0"s;
        if (!have)
            GTEST_SKIP() << "ImageMagick (/usr/bin/convert) is not installed or does not work";
    }
    void convert(const std::string& args) const
    {
        ASSERT_EQ(std::system(("cd '" + dir + "' && /usr/bin/convert " + args + " 2>/dev/null").c_str()), 0) << args;
    }
    // The picture's pixels as ImageMagick decodes them, three bytes each.
    std::string decodedByImageMagick(const std::string& name) const
    {
        EXPECT_EQ(std::system(("cd '" + dir + "' && /usr/bin/convert '" + name + "' -depth 8 rgb:.rgb").c_str()), 0);
        return read(".rgb");
    }
    // The colours of an engine bitmap through a palette, three bytes each.
    std::string colours(const std::string& zbm, const std::string& pal) const
    {
        const std::string p = read(pal);
        std::string out;
        for (unsigned char v : pixelsOf(zbm))
            out += p.substr(3u * v, 3);
        return out;
    }
};

TEST_F(WithImageMagick, EveryFormatImportsWithTheColoursImageMagickSees)
{
    struct Case {
        std::string make;  // convert arguments; the file name ends them
        const char* name;
        bool indexed;  // its indices and palette are kept
        int tolerance;
    };
    const std::string photo = "-seed 7 -size 13x7 plasma:fractal -colors 100 ";
    const std::string ramp = "-size 8x6 gradient:red-blue ";
    const Case cases[] = {
        {"-size 8x6 xc:red -colors 2 BMP3:", "1bit.bmp", true, 0},
        {ramp + "-colors 16 BMP3:", "4bit.bmp", true, 0},
        {photo + "-type Palette BMP3:", "rle8.bmp", true, 0},
        {photo + "-colors 16 BMP2:", "os2.bmp", true, 0},
        {photo, "photo.gif", true, 0},
        {photo + "png8:", "p8.png", true, 0},
        // ImageMagick 6.9 writes TGA rows top first under a header that says
        // bottom first (and reads them back the same way): -orient makes the
        // header say top first, as the rows are.
        {photo + "-type Palette -orient TopLeft ", "map.tga", true, 0},
        {photo + "-type Palette -orient TopLeft -compress RLE ", "maprle.tga", true, 0},
        {photo + "-type Palette ", "p8.pcx", true, 0},
        {ramp + "-type TrueColor png24:", "t.png", false, 0},
        {ramp + "-depth 16 -interlace PNG png48:", "t16.png", false, 1},  // 16 bits rounded to 8
        {ramp + "-type Grayscale png:", "g.png", false, 1},
        {ramp + "-type TrueColor BMP3:", "t24.bmp", false, 0},
        {ramp + "-alpha on -channel A -evaluate set 50% +channel BMP:", "a32.bmp", false, 0},
        {ramp + "-type TrueColor -orient TopLeft ", "t.tga", false, 0},
        {ramp + "-type TrueColor -orient TopLeft -compress RLE ", "trle.tga", false, 0},
        {ramp + "-type TrueColor ", "t.pcx", false, 0},
        {ramp + "-quality 90 ", "t.jpg", false, 1},
        {ramp + "-colorspace Gray ", "g.jpg", false, 1},
        {ramp + "-interlace Plane ", "progressive.jpg", false, 1},
        {ramp + "-colorspace CMYK ", "cmyk.jpg", false, 2},
    };
    for (const Case& c : cases) {
        convert(c.make + c.name);
        const Result r = zeltool("bitmap import "s + c.name + " out.zbm " +
                                 (c.indexed ? "--palette-out p.pal" : "--make-palette p.pal --dither none"));
        ASSERT_EQ(r.code, 0) << c.name << ": " << r.err;
        EXPECT_TRUE(has(r.err, c.indexed ? "kept the indices" : "exact")) << c.name << ": " << r.err;
        const std::string expected = decodedByImageMagick(c.name), got = colours("out.zbm", "p.pal");
        ASSERT_EQ(got.size(), expected.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_LE(std::abs(uint8_t(got[i]) - uint8_t(expected[i])), c.tolerance) << c.name << " byte " << i;
    }
}

TEST_F(WithImageMagick, GifFramesAreComposedAndTransparencyBecomesIndexZeroWhenMapped)
{
    convert("-size 6x6 xc:red \\( -size 2x2 xc:blue -repage +1+1 \\) -loop 0 anim.gif");
    ok("bitmap import anim.gif f1.zbm --frame 1 --make-palette p.pal --dither none");
    std::string expected;
    for (int i = 0; i < 36; ++i)
        expected += i / 6 >= 1 && i / 6 <= 2 && i % 6 >= 1 && i % 6 <= 2 ? "\0\0\xff"s : "\xff\0\0"s;
    EXPECT_EQ(colours("f1.zbm", "p.pal"), expected);
    EXPECT_TRUE(has(zeltool("bitmap import anim.gif f2.zbm --frame 2").err, "has 2 frames"));

    convert("-size 4x1 xc:red -fill none -draw 'color 1,0 point' clear.gif");
    writePalette("std.pal", zelassets::standardPalette());
    ok("bitmap import clear.gif clear.zbm --remap std.pal --dither none");
    const char red = static_cast<char>(
        zelassets::nearestColour(zelassets::standardPalette(), {255, 0, 0}, zelassets::Candidates::Opaque));
    EXPECT_EQ(pixelsOf("clear.zbm"), (std::string{red, 0, red, red}));
}

TEST_F(WithImageMagick, MadePalettesKeepReservedEntriesAndAGradientScoresOver30dB)
{
    convert("-size 256x256 xc: -sparse-color Bilinear '0,0 red 255,0 yellow 0,255 blue 255,255 white' grad.png");
    const Result r = zeltool("bitmap import grad.png grad.zbm --make-palette grad.pal");
    ASSERT_EQ(r.code, 0) << r.err;
    const size_t at = r.err.find("PSNR ");
    ASSERT_NE(at, std::string::npos) << r.err;
    EXPECT_GE(std::stod(r.err.substr(at + 5)), 30.0) << r.err;
    EXPECT_TRUE(has(r.err, "Floyd-Steinberg")) << r.err;
    const std::string standard = textOf(zelassets::encodePalette(zelassets::standardPalette()));
    const std::string made = read("grad.pal");
    for (size_t i : {0, 8, 24, 31})
        EXPECT_EQ(made.substr(3 * i, 3), standard.substr(3 * i, 3)) << i;
    EXPECT_EQ(pixelsOf("grad.zbm").find('\0'), std::string::npos) << "no visible pixel is transparent";

    ok("bitmap import grad.png plain.zbm --make-palette plain.pal --dither none --reserve none");
    EXPECT_NE(read("plain.pal").substr(24, 3), made.substr(24, 3)) << "entry 8 is free without reserving";
    EXPECT_NE(pixelsOf("plain.zbm"), pixelsOf("grad.zbm"));
}

// ---------------------------------------------------------------- bad input and outputs

TEST_F(Zeltool, BadFilesFailWithOneLineNamingTheFileAndLimits)
{
    const std::vector<uint8_t> indices(12, 3);
    const Bytes goodPng = zeltool::encodeIndexedPng(4, 3, indices.data(), testPalette());
    writeBitmap("good.zbm", AssetBitmap{4, 3, 0, 0, indices});
    const Bytes goodPal = zelassets::encodePalette(testPalette());
    const auto half = [](const auto& whole) { return std::string(whole.begin(), whole.begin() + whole.size() / 2); };
    const std::string text = "this is not what you think it is\n", bdf = read("tiny.bdf");
    const std::string hugeGif = "GIF89a\xff\xff\xff\xff\0\0\0"s;
    struct Case {
        const char* command;  // IN stands for the bad file
        std::vector<std::string> contents;
    };
    const Case cases[] = {
        {"bitmap import IN out.zbm", {"", half(goodPng), text, textOf(goodPal), "GIF89a\1\0", "\xff\xd8\xff\xe0"s}},
        {"bitmap import IN out.zbm", {"\n\5\1\x08"s + std::string(61, '\0') + "\1" + std::string(62, '\0'), hugeGif}},
        {"bitmap export IN out.png", {"", half(read("good.zbm")), text}},
        {"bitmap info IN", {"", half(goodPng), text}},
        {"palette import IN out.pal", {"", text, "GIF\n", "JASC-PAL\n0100\n3\n1 2 3\n"}},
        {"shade IN out", {"", half(goodPal), text}},
        {"font build IN out.fnt", {"", half(bdf), text, half(read("v2.psf"))}},
        {"font build tiny.bdf out.fnt --charset IN", {"0x300 U+41\n", "65 AB\n"}},
        {"font preview IN out.png", {"", text, textOf(goodPal)}},
        {"aggregate out.zbm good.zbm IN", {"", text}},
    };
    int n = 0;
    for (const Case& c : cases)
        for (const std::string& content : c.contents) {
            const std::string name = "bad" + std::to_string(n++) + ".in";
            write(name, content);
            std::string args = c.command;
            args.replace(args.find("IN"), 2, name);
            const Result r = zeltool(args);
            EXPECT_EQ(r.code, 1) << args << ":\n" << r.err;
            EXPECT_EQ(lineCount(r.err), 1) << args << ":\n" << r.err;
            EXPECT_EQ(r.err.rfind("zeltool: " + name + ": ", 0), 0u) << args << ":\n" << r.err;
            for (const char* out : {"out.zbm", "out.png", "out.pal", "out.fnt", "out.DRK"})
                EXPECT_FALSE(exists(out)) << args;
        }
    EXPECT_TRUE(has(zeltool("bitmap info bad2.in").err, "not a picture this tool reads"));
    EXPECT_TRUE(has(zeltool("bitmap info bad7.in").err, "more than the 67,108,864 pixels")) << "the huge GIF";
    EXPECT_EQ(zeltool("bitmap info nosuch.zbm").err, "zeltool: nosuch.zbm: No such file or directory\n");
}

TEST_F(Zeltool, WritesGoThroughLinksAndNeverOverDevicesFoldersOrInputs)
{
    write("in.png", zeltool::encodeIndexedPng(1, 1, reinterpret_cast<const uint8_t*>("\7"), testPalette()));
    fs::create_directory(path("folder"));
    fs::create_symlink("folder/target.zbm", path("link.zbm"));  // dangling until written
    ok("bitmap import in.png link.zbm");
    ASSERT_TRUE(fs::is_symlink(path("link.zbm")));
    EXPECT_EQ(pixelsOf("folder/target.zbm"), "\7"s);
    chmod(path("folder/target.zbm").c_str(), 0600);
    ok("bitmap import in.png link.zbm --origin 1,1");
    EXPECT_TRUE(fs::is_symlink(path("link.zbm")));
    EXPECT_EQ(fs::status(path("folder/target.zbm")).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    fs::create_symlink("/dev/null", path("null.zbm"));
    ASSERT_EQ(link(path("in.png").c_str(), path("linked.png").c_str()), 0);
    const std::string before = read("in.png");
    for (const char* args : {"bitmap import in.png /dev/null", "bitmap import in.png null.zbm",
                             "bitmap import in.png folder", "bitmap import in.png ok.zbm --palette-out folder",
                             "bitmap import in.png in.png", "bitmap import in.png linked.png",
                             "bitmap import in.png twice.zbm --palette-out ./twice.zbm",
                             "bitmap export in.png ./in.png", "font build in.png ./in.png --cell 1x1"}) {
        const Result r = zeltool(args);
        EXPECT_EQ(r.code, 1) << args;
        EXPECT_TRUE(has(r.err, "refusing to")) << args << ":\n" << r.err;
    }
    EXPECT_FALSE(exists("ok.zbm") || exists("twice.zbm")) << "nothing is written when one output is refused";
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(read("in.png"), before);
}

}  // namespace
