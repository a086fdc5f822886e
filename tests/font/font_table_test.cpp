// The font table: loading font files into slots, the glyph error report,
// unloading and the current font.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "font/font.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using zeltest::liveBlockCount;
using zeltest::picture;

void put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(v >> (8 * i) & 0xff);
}

// An engine-format glyph w pixels wide and one row high, every pixel v.
std::string glyph(int32_t w, unsigned char v)
{
    std::string s;
    put32(s, static_cast<uint32_t>(w));
    put32(s, 1);
    put32(s, 0);
    put32(s, 0);
    put32(s, 0);
    return s + std::string(static_cast<size_t>(w > 0 ? w : 0), static_cast<char>(v));
}

// A font file head: count, then 'A' + k mapped to glyph k + 1.
std::string head(uint32_t count, int mapped)
{
    std::string s;
    put32(s, count);
    std::string map(256, '\0');
    for (int k = 0; k < mapped; ++k)
        map['A' + k] = static_cast<char>(k + 1);
    return s + map;
}

// A font of n glyphs; glyph k is k + 1 pixels wide in colour k + 1.
std::string font(uint32_t n)
{
    std::string s = head(n, static_cast<int>(n < 26 ? n : 26));
    for (uint32_t k = 0; k < n; ++k)
        s += glyph(static_cast<int32_t>(k + 1), static_cast<unsigned char>(k + 1));
    return s;
}

Fonts* slot(int i)
{
    return ZelFont::fonts[i].handle.get();
}

HClass<Fonts> slotHandle(int i)
{
    return ZelFont::fonts[i].handle;
}

bool swapable(const ZelHandle& h)
{
    return h.isValid() && (ZelMemHandles::Handles.entry[h.value - 1] & ZelMemEntrySwapable) != 0;
}

class FontTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zelfontXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ZelSystem::SetRegistryString("ufsroot", dir.c_str());
        ASSERT_EQ(ZelFont::nFonts, 0);
    }
    void TearDown() override
    {
        ZelFont::unloadAll();
        ZelSystem::SetRegistryString("ufsroot", nullptr);
        fs::remove_all(dir);
    }

    void write(const std::string& name, const std::string& content) const
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << content;
    }
    int load(const std::string& content)
    {
        write("f.fnt", content);
        return ZelFont::load("f.fnt", "");
    }
    // Loads while capturing what is printed.
    int loadCapturing(const std::string& content, std::string& out)
    {
        testing::internal::CaptureStdout();
        int i = load(content);
        out = testing::internal::GetCapturedStdout();
        return i;
    }

    std::string dir;
};

TEST_F(FontTable, LoadReadsHeadAndGlyphsIntoANewSlot)
{
    ASSERT_EQ(load(font(3)), 0);
    EXPECT_EQ(ZelFont::nFonts, 1);
    EXPECT_TRUE(ZelFont::currentFont.isNull());  // load does not choose the font

    Fonts* f = slot(0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->count, 3u);
    EXPECT_EQ(f->charMap[int{'A'}], 1);
    EXPECT_EQ(f->charMap[int{'C'}], 3);
    EXPECT_EQ(f->charMap[int{'D'}], 0);
    for (int k = 0; k < 3; ++k) {
        Bitmap* g = f->glyphs[k].handle.get();
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->width, k + 1);
        EXPECT_EQ(picture(*g), std::string(static_cast<size_t>(k + 1), static_cast<char>('1' + k)) + "\n");
        EXPECT_TRUE(swapable(f->glyphs[k].handle));
    }
    for (int k = 3; k < 256; ++k)
        EXPECT_TRUE(f->glyphs[k].handle.isNull()) << k;

    EXPECT_STREQ(ZelMem::GetPtrData(f), "Fonts");
    EXPECT_STREQ(ZelMem::GetPtrData(ZelFont::fonts.get()), "Fonts");
    EXPECT_TRUE(swapable(slotHandle(0)));
    EXPECT_TRUE(swapable(ZelFont::fonts));
}

TEST_F(FontTable, FontWithoutGlyphsAndFilesThatAreNotFonts)
{
    ASSERT_EQ(load(head(0, 0)), 0);
    EXPECT_EQ(slot(0)->count, 0u);

    const size_t live = liveBlockCount();
    EXPECT_EQ(ZelFont::load(HClass<ZelFile>()), -1);
    EXPECT_EQ(ZelFont::load("missing.fnt", ""), -1);
    EXPECT_EQ(load(head(1, 1).substr(0, 200)), -1);  // too short for the head
    EXPECT_EQ(ZelFont::nFonts, 2);                    // the slot made for it stays free
    EXPECT_FALSE(slotHandle(1).resolves());
    EXPECT_EQ(liveBlockCount(), live);  // the table grew in its own block
    EXPECT_EQ(load(font(1)), 1);
}

TEST_F(FontTable, MissingGlyphsAreReportedAndTheRestStillLoads)
{
    // Glyph 3 cannot be created (negative width): only its size is consumed,
    // so glyph 4 follows it directly. Glyph 6 is missing from the file.
    std::string content = head(7, 7);
    for (int k = 0; k < 3; ++k)
        content += glyph(k + 1, static_cast<unsigned char>(k + 1));
    std::string bad;
    put32(bad, static_cast<uint32_t>(-1));
    put32(bad, 1);
    content += bad + glyph(5, 5) + glyph(6, 6);

    ZelError::NError = 0;
    const unsigned debuggerCalls = ZelMem::DebuggerCalls();
    std::string out;
    ASSERT_EQ(loadCapturing(content, out), 0);
    EXPECT_EQ(out,
              "ERROR: Unable to read data\nunable to load font entry 3.\n\nFile: font, Line: 249\n"
              "ERROR: Unable to read data\nunable to load font entry 6.\n\nFile: font, Line: 249\n");
    EXPECT_EQ(ZelMem::DebuggerCalls(), debuggerCalls + 2);
    EXPECT_EQ(ZelSystem::EngineErrors, 2);
    EXPECT_EQ(ZelError::NError, 0);
    EXPECT_EQ(ZelError::ErrorCopy.line, 249);
    EXPECT_STREQ(ZelError::ErrorCopy.file, "font");
    ASSERT_NE(ZelError::Error, nullptr);
    EXPECT_STREQ(ZelMem::GetPtrData(ZelError::Error), "ZelError");

    Fonts* f = slot(0);
    EXPECT_EQ(f->count, 7u);
    EXPECT_TRUE(f->glyphs[3].handle.isNull());
    EXPECT_TRUE(f->glyphs[6].handle.isNull());
    ASSERT_TRUE(f->glyphs[4].handle.resolves());
    EXPECT_EQ(picture(*f->glyphs[4].handle.get()), "55555\n");
    EXPECT_EQ(f->glyphs[5].handle.get()->width, 6);
}

TEST_F(FontTable, ErrorTraceListsTheStackNewestFirst)
{
    std::string out;
    ASSERT_EQ(loadCapturing(head(1, 1), out), 0);  // makes sure the stack block exists
    ASSERT_GT(ZelError::NMaxError, 0);

    // An error already on the stack is listed after the new one.
    ZelError::Error[0] = {17, nullptr};
    ZelError::NError = 1;
    loadCapturing(head(1, 1), out);
    EXPECT_EQ(out, "ERROR: Unable to read data\nunable to load font entry 0.\n\n"
                   "File: font, Line: 249\nFile: <NONAME>, Line: 17\n");
    EXPECT_EQ(ZelError::NError, 1);

    // A full stack grows by 512 records.
    const int capacity = ZelError::NMaxError;
    ZelError::NError = capacity;
    for (int i = 0; i < capacity; ++i)
        ZelError::Error[i] = {i, "old"};
    loadCapturing(head(1, 1), out);
    EXPECT_EQ(ZelError::NMaxError, capacity + 512);
    EXPECT_EQ(ZelError::NError, capacity);
    EXPECT_EQ(ZelError::Error[capacity - 1].line, capacity - 1);
    const std::string report = "ERROR: Unable to read data\nunable to load font entry 0.\n\n";
    EXPECT_EQ(out.rfind(report + "File: font, Line: 249\nFile: old, Line: " + std::to_string(capacity - 1) + "\n", 0), 0u);
    EXPECT_TRUE(out.ends_with("File: old, Line: 1\nFile: old, Line: 0\n"));

    // While the engine goes down nothing is stacked: the latest error alone
    // is listed, and it stays as it was.
    ZelError::NError = 0;
    ZelError::ErrorCopy = {5, "engine"};
    ZelError::GoingDown = -1;
    loadCapturing(head(1, 1), out);
    ZelError::GoingDown = 0;
    EXPECT_EQ(out, "ERROR: Unable to read data\nunable to load font entry 0.\n\nFile: engine, Line: 5\n");
    EXPECT_EQ(ZelError::NError, 0);
    EXPECT_EQ(ZelError::ErrorCopy.line, 5);
}

TEST_F(FontTable, SlotsAreReusedAndTheLastOneTrimmed)
{
    ASSERT_EQ(load(font(2)), 0);
    ASSERT_EQ(load(font(2)), 1);
    ASSERT_EQ(load(font(2)), 2);
    EXPECT_EQ(ZelFont::nFonts, 3);

    ZelFont::setFont(2);
    ZelFont::unload(1);
    EXPECT_EQ(ZelFont::nFonts, 3);
    EXPECT_TRUE(slotHandle(1).isNull());
    EXPECT_EQ(ZelFont::currentFont, slotHandle(0));
    EXPECT_EQ(load(font(1)), 1);

    ZelFont::unload(2);
    EXPECT_EQ(ZelFont::nFonts, 2);
    EXPECT_EQ(ZelMem::GetPtrSize(ZelFont::fonts.get()), 8u);
    EXPECT_TRUE(swapable(ZelFont::fonts));

    ZelFont::unload(0);
    EXPECT_EQ(ZelFont::nFonts, 2);
    EXPECT_TRUE(ZelFont::currentFont.isNull());
    EXPECT_EQ(ZelFont::getFont(), 0);  // slot 0 is free and holds 65535

    ZelFont::unload(1);
    EXPECT_EQ(ZelFont::nFonts, 1);
    ZelFont::unload(0);
    EXPECT_EQ(ZelFont::nFonts, 0);
    EXPECT_TRUE(ZelFont::fonts.isNull());
    EXPECT_EQ(ZelFont::getFont(), -1);
}

TEST_F(FontTable, CurrentFontFollowsSetFont)
{
    ASSERT_EQ(load(font(1)), 0);
    ASSERT_EQ(load(font(1)), 1);
    EXPECT_EQ(ZelFont::getFont(), -1);
    ZelFont::setFont(1);
    EXPECT_EQ(ZelFont::currentFont, slotHandle(1));
    EXPECT_EQ(ZelFont::getFont(), 1);
    ZelFont::setFont(2);  // outside the table: ignored
    ZelFont::setFont(-1);
    EXPECT_EQ(ZelFont::getFont(), 1);
    ZelFont::unload(5);   // outside the table: ignored
    ZelFont::unload(-1);
    EXPECT_EQ(ZelFont::nFonts, 2);
    EXPECT_EQ(ZelFont::getFont(), 1);
}

TEST_F(FontTable, UnloadingFreesEveryBlock)
{
    const size_t live = liveBlockCount();
    ASSERT_EQ(load(font(4)), 0);
    ASSERT_EQ(load(font(3)), 1);
    EXPECT_EQ(liveBlockCount(), live + 1 + (1 + 4) + (1 + 3));

    // A span table made on a glyph goes with it.
    ZelBitmap* g = HClass<ZelBitmap>(slot(0)->glyphs[2].handle).get();
    g->createLineIndexes();
    EXPECT_EQ(liveBlockCount(), live + 1 + (1 + 4) + (1 + 3) + 1);

    ZelFont::unload(0);
    EXPECT_EQ(liveBlockCount(), live + 1 + (1 + 3));
    ZelFont::setFont(1);
    ZelFont::unloadAll();
    EXPECT_EQ(liveBlockCount(), live);
    EXPECT_EQ(ZelFont::nFonts, 0);
    EXPECT_TRUE(ZelFont::fonts.isNull());
    EXPECT_TRUE(ZelFont::currentFont.isNull());
}

TEST_F(FontTable, CountAbove256LoadsTheFirst256Glyphs)
{
    std::string content = head(300, 0);
    for (int k = 0; k < 257; ++k)
        content += glyph(1, 1);
    std::string out;
    ASSERT_EQ(loadCapturing(content, out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(slot(0)->count, 256u);
    EXPECT_TRUE(slot(0)->glyphs[255].handle.resolves());
}

}  // namespace
