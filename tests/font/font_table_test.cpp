// The font table: font files loaded into slots, the report of glyphs that
// could not be loaded, slots freed and reused, and the current font; and a
// paragraph in the standard font against its golden picture.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cout_capture.h"
#include "font/font.h"
#include "golden.h"
#include "memory_file.h"
#include "test_support.h"

namespace {

using zeltest::liveBlockCount;
using zeltest::put32;

// An engine-format glyph w pixels wide and one row high, every pixel v.
std::string glyph(int32_t w, char v)
{
    std::string s;
    for (int32_t field : {w, 1, 0, 0, 0})
        put32(s, static_cast<uint32_t>(field));
    return s + std::string(static_cast<size_t>(w > 0 ? w : 0), v);
}

// A font of count glyphs, 'A' + k mapped to glyph k + 1 for k < mapped;
// the first `held` glyphs follow, glyph k k + 1 wide in colour k + 1.
std::string font(uint32_t count, int mapped, uint32_t held)
{
    std::string s, map(256, '\0');
    put32(s, count);
    for (int k = 0; k < mapped; ++k)
        map['A' + k] = static_cast<char>(k + 1);
    s += map;
    for (uint32_t k = 0; k < held; ++k)
        s += glyph(static_cast<int32_t>(k + 1), static_cast<char>(k + 1));
    return s;
}
std::string font(uint32_t n)
{
    return font(n, static_cast<int>(n < 26 ? n : 26), n);
}

HClass<Fonts> slot(int i)
{
    return ZelFont::fonts[i].handle;
}

bool swapable(const ZelHandle& h)
{
    return h.isValid() && (ZelMemHandles::Handles.entry[h.value - 1] & ZelMemEntrySwapable) != 0;
}

class FontTable : public ::testing::Test {
protected:
    void TearDown() override { ZelFont::unloadAll(); }
    // Loads bytes as a font file; what it printed goes to printed.
    int load(const std::string& bytes)
    {
        HClass<ZelFile> f = zeltest::MemoryFile::create(bytes);
        const int i = ZelFont::load(f);
        f.destroy();
        printed = out.take();
        return i;
    }
    zeltest::CoutCapture out;
    std::string printed;
};

// Glyphs come in swappable blocks, as do the record and the table; loading
// does not choose the font.
TEST_F(FontTable, LoadReadsTheHeadAndTheGlyphsIntoANewSlot)
{
    ASSERT_EQ(load(font(3)), 0);
    EXPECT_EQ(ZelFont::nFonts, 1);
    EXPECT_TRUE(ZelFont::currentFont.isNull());
    const Fonts* f = slot(0).get();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->count, 3u);
    EXPECT_EQ(std::string(&f->charMap['A'], &f->charMap['E']), std::string({1, 2, 3, 0}));
    for (int k = 0; k < 256; ++k) {
        const Bitmap* g = f->glyphs[k].handle.get();
        ASSERT_EQ(g != nullptr, k < 3) << k;
        if (g) {
            EXPECT_EQ(zeltest::picture(*g), std::string(k + 1, static_cast<char>('1' + k)) + "\n");
            EXPECT_TRUE(swapable(f->glyphs[k].handle));
        }
    }
    EXPECT_TRUE(swapable(slot(0)));
    EXPECT_TRUE(swapable(ZelFont::fonts));
    EXPECT_EQ(printed, "");
}

// A count above 256 loads the first 256 glyphs; a font may hold none; a
// file too short for the head leaves its slot free and nothing allocated.
TEST_F(FontTable, GlyphCountsAndFilesThatAreNotFonts)
{
    std::string big = font(300, 0, 257);
    ASSERT_EQ(load(big), 0);
    EXPECT_EQ(slot(0)->count, 256u);
    EXPECT_TRUE(slot(0)->glyphs[255].handle.resolves());
    ASSERT_EQ(load(font(0)), 1);
    EXPECT_EQ(slot(1)->count, 0u);
    const size_t live = liveBlockCount();
    EXPECT_EQ(ZelFont::load(HClass<ZelFile>()), -1);
    EXPECT_EQ(ZelFont::load("missing.fnt", ""), -1);
    EXPECT_EQ(load(font(1).substr(0, 259)), -1);
    EXPECT_EQ(ZelFont::nFonts, 3);
    EXPECT_FALSE(slot(2).resolves());
    EXPECT_EQ(liveBlockCount(), live);  // the table grew in its own block
    EXPECT_EQ(load(font(1)), 2);
    EXPECT_EQ(printed, "");
}

// Glyph 3 has a negative width: only its size is read, and glyph 4 follows
// directly; glyph 6 is missing from the file. Each is reported with the
// trace of the error stack, newest first, and the rest still loads.
TEST_F(FontTable, GlyphsThatCannotLoadAreReported)
{
    std::string bytes = font(7, 7, 3);
    put32(bytes, static_cast<uint32_t>(-1));
    put32(bytes, 1);
    bytes += glyph(5, 5) + glyph(6, 6);
    const std::string report = "ERROR: Unable to read data\nunable to load font entry ";
    const unsigned debuggerCalls = ZelMem::DebuggerCalls();
    ASSERT_EQ(load(bytes), 0);
    EXPECT_EQ(printed, report + "3.\n\nFile: font, Line: 249\n" + report + "6.\n\nFile: font, Line: 249\n");
    EXPECT_EQ(std::make_tuple(ZelMem::DebuggerCalls(), ZelSystem::EngineErrors, ZelError::NError),
              std::make_tuple(debuggerCalls + 2, 2, 0));
    EXPECT_EQ(ZelError::ErrorCopy.line, 249);
    EXPECT_STREQ(ZelError::ErrorCopy.file, "font");
    const Fonts* f = slot(0).get();
    EXPECT_TRUE(f->glyphs[3].handle.isNull() && f->glyphs[6].handle.isNull());
    EXPECT_EQ(zeltest::picture(*f->glyphs[4].handle.get()), "55555\n");
    EXPECT_EQ(f->glyphs[5].handle.get()->width, 6);

    // An error already on the stack is listed after the new one.
    ZelError::Error[0] = {17, nullptr};
    ZelError::NError = 1;
    load(font(1, 1, 0));
    EXPECT_EQ(printed, report + "0.\n\nFile: font, Line: 249\nFile: <NONAME>, Line: 17\n");
    EXPECT_EQ(ZelError::NError, 1);

    // A full stack grows by 512 records.
    const int capacity = ZelError::NMaxError;
    ZelError::NError = capacity;
    for (int i = 0; i < capacity; ++i)
        ZelError::Error[i] = {i, "old"};
    load(font(1, 1, 0));
    EXPECT_EQ(std::make_tuple(ZelError::NMaxError, ZelError::NError), std::make_tuple(capacity + 512, capacity));
    EXPECT_EQ(ZelError::Error[capacity - 1].line, capacity - 1);
    EXPECT_TRUE(printed.starts_with(report + "0.\n\nFile: font, Line: 249\nFile: old, Line: " +
                                    std::to_string(capacity - 1) + "\n"));
    EXPECT_TRUE(printed.ends_with("File: old, Line: 1\nFile: old, Line: 0\n"));

    // While the engine goes down nothing is stacked: the latest error alone is listed.
    ZelError::NError = 0;
    ZelError::ErrorCopy = {5, "engine"};
    ZelError::GoingDown = -1;
    load(font(1, 1, 0));
    ZelError::GoingDown = 0;
    EXPECT_EQ(printed, report + "0.\n\nFile: engine, Line: 5\n");
    EXPECT_EQ(std::make_tuple(ZelError::NError, ZelError::ErrorCopy.line), std::make_tuple(0, 5));
}

// Freed slots are reused; unloading the last one trims the table; the
// current font falls back to slot 0 (to none when slot 0 goes); indexes
// outside the table are ignored. Every block goes with its font.
TEST_F(FontTable, SlotsCurrentFontAndBlocks)
{
    const size_t live = liveBlockCount();
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(load(font(2 + i)), i);
    HClass<ZelBitmap>(slot(0)->glyphs[1].handle).get()->createLineIndexes();
    EXPECT_EQ(liveBlockCount(), live + 1 + (1 + 2) + (1 + 3) + (1 + 4) + 1);
    EXPECT_EQ(ZelFont::getFont(), -1);
    ZelFont::setFont(2);
    for (int outside : {3, 5, -1}) {
        ZelFont::setFont(outside);
        ZelFont::unload(outside);
    }
    EXPECT_EQ(std::make_tuple(ZelFont::nFonts, ZelFont::getFont()), std::make_tuple(3, 2));
    ZelFont::unload(1);
    EXPECT_EQ(std::make_tuple(ZelFont::nFonts, ZelFont::getFont()), std::make_tuple(3, 0));
    EXPECT_TRUE(slot(1).isNull());
    EXPECT_EQ(load(font(1)), 1);
    ZelFont::unload(2);
    EXPECT_EQ(ZelFont::nFonts, 2);
    EXPECT_EQ(ZelMem::GetPtrSize(ZelFont::fonts.get()), 8u);
    EXPECT_TRUE(swapable(ZelFont::fonts));
    ZelFont::unload(0);
    EXPECT_EQ(std::make_tuple(ZelFont::nFonts, ZelFont::getFont()), std::make_tuple(2, 0));  // slot 0 free: 65535
    EXPECT_TRUE(ZelFont::currentFont.isNull());
    EXPECT_EQ(liveBlockCount(), live + 1 + (1 + 1));
    ZelFont::unload(1);
    ZelFont::unload(0);
    EXPECT_EQ(ZelFont::nFonts, 0);
    EXPECT_TRUE(ZelFont::fonts.isNull());
    EXPECT_EQ(ZelFont::getFont(), -1);
    EXPECT_EQ(liveBlockCount(), live);
}

TEST(Text, ParagraphInTheStandardFontMatchesTheGolden)
{
    const std::string font = zeltest::standardDataFile("standard.fnt");
    const std::string palette = zeltest::standardDataFile("standard.pal");
    if (font.empty() || palette.empty())
        GTEST_SKIP() << "the standard data is not built (target standard_data)";
    ZelSystem::SetRegistryString("ufsroot", std::filesystem::path(font).parent_path().c_str());
    ZelFont::setFont(ZelFont::load("standard.fnt", ""));
    ZelSystem::SetRegistryString("ufsroot", nullptr);
    ASSERT_EQ(ZelFont::getFont(), 0);
    zeltest::ScreenSetup screen(200, 80);
    const char* text = "The quick brown fox jumps over the lazy dog. Pack my box with five dozen liquor jugs! "
                       "Sphinx of black quartz, judge my vow: how vexingly quick daft zebras jump (42 times). "
                       "Five big jet planes zoomed by the tower at 7:30.";
    // The caller's wrap loop: lines cut at words until the rest is null.
    const int lineHeight = ZelFont::getHeight(text) + 1;
    for (int y = 1, count = 0; text; y += lineHeight) {
        const char* rest = ZelFont::countVisibleWords(text, count, 190);
        ZelFont::put(5, y, std::string(text, count).c_str(), 31);
        text = rest;
    }
    unsigned char colours[768];
    std::ifstream(palette, std::ios::binary).read(reinterpret_cast<char*>(colours), sizeof colours);
    for (unsigned char& c : colours)
        c >>= 2;
    EXPECT_TRUE(zeltest::matchesGolden(screen.bitmap(), "font/golden/paragraph.txt", colours));
    ZelFont::unloadAll();
}

}  // namespace
