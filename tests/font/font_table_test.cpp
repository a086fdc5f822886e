// Fonts loaded into slots and glyphs that cannot load (slots freed and reused
// are in text.scene).

#include <gtest/gtest.h>

#include "cout_capture.h"
#include "data_files.h"
#include "font/font.h"
#include "test_support.h"

namespace {

using zeltest::engineBitmapFile;
using zeltest::liveBlockCount;

// Glyph k is one row of k + 1 pixels of value k + 1; font(n) maps 'A' + k to it.
zeltest::Picture glyph(int k)
{
    return {k + 1, 1, 0, 0, std::string(k + 1, static_cast<char>(k + 1))};
}

std::string font(int n)
{
    std::vector<zeltest::FontGlyph> glyphs;
    for (int k = 0; k < n; ++k)
        glyphs.emplace_back('A' + k, glyph(k));
    return zeltest::fontFile(glyphs);
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
        HClass<ZelFile> f = zeltest::BytesFile::create(bytes);
        const int i = ZelFont::load(f);
        f.destroy();
        printed = out.take();
        return i;
    }
    static const Fonts& slot(int i) { return *ZelFont::fonts[i].handle.get(); }
    zeltest::CoutCapture out;
    std::string printed;
};

// Glyphs, the record and the table are swappable blocks; loading does not
// choose the font. A count above 256 loads 256 glyphs; a font may hold none;
// a file too short for the head leaves its slot free and nothing allocated.
TEST_F(FontTable, LoadsTheHeadAndTheGlyphsIntoAFreeSlot)
{
    const size_t before = liveBlockCount();
    ASSERT_EQ(load(font(3)), 0);
    EXPECT_TRUE(ZelFont::currentFont.isNull() && slot(0).count == 3);
    for (int k = 0; k < 256; ++k) {
        const ZelHandle& g = slot(0).glyphs[k].handle;  // pictures: text.scene
        EXPECT_TRUE(k < 3 ? swapable(g) : g.isNull()) << k;
    }
    EXPECT_TRUE(swapable(ZelFont::fonts[0].handle) && swapable(ZelFont::fonts));

    std::string big = "\x2c\x01" + font(0).substr(2);  // 300 glyphs
    for (int k = 0; k < 257; ++k)
        big += engineBitmapFile(glyph(0));
    ASSERT_EQ(load(big), 1);
    EXPECT_TRUE(slot(1).count == 256 && slot(1).glyphs[255].handle.resolves());
    EXPECT_TRUE(load(font(0)) == 2 && slot(2).count == 0);
    EXPECT_EQ(printed, "");

    const size_t live = liveBlockCount();
    EXPECT_EQ(ZelFont::load(HClass<ZelFile>()), -1);
    EXPECT_EQ(ZelFont::load("missing.fnt", ""), -1);
    EXPECT_EQ(load(font(1).substr(0, 259)), -1);
    EXPECT_TRUE(ZelFont::nFonts == 4 && !ZelFont::fonts[3].handle.resolves());
    EXPECT_EQ(liveBlockCount(), live);  // the table grew in its own block
    ZelFont::unloadAll();
    EXPECT_EQ(liveBlockCount(), before);
}

// Glyph 3 has a negative width: only its size is read, and glyph 4 follows
// it; glyph 6 is missing. Each is reported with the error stack, newest
// first, and the rest still loads.
TEST_F(FontTable, GlyphsThatCannotLoadAreReported)
{
    std::string bytes = font(3) + engineBitmapFile({-1, 1, 0, 0, ""}).substr(0, 8) +
                        engineBitmapFile(glyph(4)) + engineBitmapFile(glyph(5));
    bytes[0] = 7;
    const std::string report = "ERROR: Unable to read data\nunable to load font entry ";
    const unsigned debuggerCalls = ZelMem::DebuggerCalls();
    ASSERT_EQ(load(bytes), 0);
    EXPECT_EQ(printed, report + "3.\n\nFile: font, Line: 249\n" + report + "6.\n\nFile: font, Line: 249\n");
    EXPECT_EQ(std::make_tuple(ZelMem::DebuggerCalls(), ZelSystem::EngineErrors, ZelError::NError),
              std::make_tuple(debuggerCalls + 2, 2, 0));
    EXPECT_TRUE(slot(0).glyphs[3].handle.isNull() && slot(0).glyphs[6].handle.isNull());
    EXPECT_EQ(zeltest::picture(*slot(0).glyphs[4].handle.get()), "55555\n");

    // An error already on the stack is listed after the new one.
    ZelError::Error[0] = {17, nullptr};
    ZelError::NError = 1;
    load(font(1).substr(0, 260));
    EXPECT_EQ(printed, report + "0.\n\nFile: font, Line: 249\nFile: <NONAME>, Line: 17\n");

    // A full stack grows by 512 records.
    const int capacity = ZelError::NMaxError;
    ZelError::NError = capacity;
    for (int i = 0; i < capacity; ++i)
        ZelError::Error[i] = {i, "old"};
    load(font(1).substr(0, 260));
    EXPECT_EQ(std::make_tuple(ZelError::NMaxError, ZelError::NError), std::make_tuple(capacity + 512, capacity));
    EXPECT_TRUE(printed.starts_with(report + "0.\n\nFile: font, Line: 249\nFile: old, Line: " +
                                    std::to_string(capacity - 1) + "\n"));
    EXPECT_TRUE(printed.ends_with("File: old, Line: 1\nFile: old, Line: 0\n"));

    // While the engine goes down nothing is stacked: the latest error alone is listed.
    ZelError::NError = 0;
    ZelError::ErrorCopy = {5, "engine"};
    ZelError::GoingDown = -1;
    load(font(1).substr(0, 260)), ZelError::GoingDown = 0;
    EXPECT_EQ(printed, report + "0.\n\nFile: engine, Line: 5\n");
    EXPECT_EQ(std::make_tuple(ZelError::NError, ZelError::ErrorCopy.line), std::make_tuple(0, 5));
}

}  // namespace
