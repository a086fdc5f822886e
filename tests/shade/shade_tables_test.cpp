// Shade table files: name derivation, loading in place with its failure
// cases, and the lookup through the loaded tables.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shade/shade.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using Table = std::vector<unsigned char>;

// A table whose every byte depends on its offset and on seed.
Table pattern(unsigned seed, size_t size = ZelShadeTableBytes)
{
    Table t(size);
    for (size_t i = 0; i < size; ++i)
        t[i] = static_cast<unsigned char>(i * 31 + i / 256 + seed);
    return t;
}

std::string nameOf(const char* palette, const char* ext)
{
    char out[ZelShadeNameSize];
    shadeFileName(out, palette, ext);
    return out;
}

TEST(ShadeFileName, CutsTheLastComponentAtItsFirstDot)
{
    EXPECT_EQ(nameOf("standard.pal", "DRK"), "standard.DRK");
    EXPECT_EQ(nameOf("standard.pal", "LHT"), "standard.LHT");
    EXPECT_EQ(nameOf("C:\\PAL\\NIGHT.V2.PAL", "DRK"), "C:\\PAL\\NIGHT.DRK");
    EXPECT_EQ(nameOf("data/v1.0/dusk", "DRK"), "data/v1.0/dusk.DRK");  // dots in directories stay
    EXPECT_EQ(nameOf("sunset", "DRK"), "sunset.DRK");
    EXPECT_EQ(nameOf(".pal", "DRK"), ".pal.DRK");
    EXPECT_EQ(nameOf("..x.y", "DRK"), "..x.DRK");
    // A name longer than allowed is cut, never written past the buffer.
    std::string longName(200, 'a');
    EXPECT_EQ(nameOf(longName.c_str(), "DRK").size(), size_t(ZelShadeNameSize - 1));
}

class ShadeTablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zelshadeXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(dir + "/CDDATA/SYSTEM");
        ZelSystem::SetRegistryString("ufsroot", dir.c_str());
        savedDark = ZelVideo::shadeDark;
        savedLight = ZelVideo::shadeLight;
        liveBlocks = zeltest::liveBlockCount();
        ZelVideo::shadeDark = static_cast<unsigned char*>(ZelMEMTmp::Malloc(ZelShadeTableBytes));
        ZelVideo::shadeLight = static_cast<unsigned char*>(ZelMEMTmp::Malloc(ZelShadeTableBytes));
        ASSERT_NE(ZelVideo::shadeDark, nullptr);
        ASSERT_NE(ZelVideo::shadeLight, nullptr);
        std::memset(ZelVideo::shadeDark, 0xD0, ZelShadeTableBytes);
        std::memset(ZelVideo::shadeLight, 0x70, ZelShadeTableBytes);
    }

    void TearDown() override
    {
        ZelMEMTmp::Free(ZelVideo::shadeDark);
        ZelMEMTmp::Free(ZelVideo::shadeLight);
        EXPECT_EQ(zeltest::liveBlockCount(), liveBlocks);
        ZelVideo::shadeDark = savedDark;
        ZelVideo::shadeLight = savedLight;
        ZelSystem::SetRegistryString("ufsroot", nullptr);
        fs::remove_all(dir);
    }

    static std::string put(const std::string& path, const Table& bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::string putSystem(const std::string& name, const Table& bytes) const
    {
        return put(dir + "/CDDATA/SYSTEM/" + name, bytes);
    }
    static int openDescriptors()
    {
        return static_cast<int>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
    }

    static Table dark() { return Table(ZelVideo::shadeDark, ZelVideo::shadeDark + ZelShadeTableBytes); }
    static Table light() { return Table(ZelVideo::shadeLight, ZelVideo::shadeLight + ZelShadeTableBytes); }
    static Table filled(unsigned char v) { return Table(ZelShadeTableBytes, v); }

    std::string dir;

private:
    unsigned char* savedDark = nullptr;
    unsigned char* savedLight = nullptr;
    size_t liveBlocks = 0;
};

TEST_F(ShadeTablesTest, LoadsBothTablesFromTheFileSystem)
{
    putSystem("standard.DRK", pattern(1));
    putSystem("standard.LHT", pattern(2));
    EXPECT_EQ(ZelVideo::loadPaletteShades("standard.pal"), -1);
    EXPECT_EQ(dark(), pattern(1));
    EXPECT_EQ(light(), pattern(2));
}

TEST_F(ShadeTablesTest, KeepsTheDirectoryAndFallsBackToTheDisk)
{
    fs::create_directories(dir + "/PAL");
    put(dir + "/PAL/NIGHT.DRK", pattern(3));
    put(dir + "/PAL/NIGHT.LHT", pattern(4));
    EXPECT_EQ(ZelVideo::loadPaletteShades((dir + "/PAL/NIGHT.V2.PAL").c_str()), -1);
    EXPECT_EQ(dark(), pattern(3));
    EXPECT_EQ(light(), pattern(4));
}

TEST_F(ShadeTablesTest, LongFilesGiveTheirFirstBytes)
{
    putSystem("big.DRK", pattern(5, ZelShadeTableBytes + 100));
    putSystem("big.LHT", pattern(6, ZelShadeTableBytes * 2));
    EXPECT_EQ(ZelVideo::loadPaletteShades("big"), -1);
    EXPECT_EQ(dark(), pattern(5));
    EXPECT_EQ(light(), pattern(6));
}

TEST_F(ShadeTablesTest, AMissingDarkFileLeavesBothTablesAlone)
{
    putSystem("half.LHT", pattern(7));
    EXPECT_EQ(ZelVideo::loadPaletteShades("half.pal"), 0);
    EXPECT_EQ(dark(), filled(0xD0));
    EXPECT_EQ(light(), filled(0x70));  // the light file was never read
}

TEST_F(ShadeTablesTest, AShortDarkFileStopsBeforeTheLightFile)
{
    putSystem("short.DRK", pattern(8, ZelShadeTableBytes - 1));
    putSystem("short.LHT", pattern(9));
    EXPECT_EQ(ZelVideo::loadPaletteShades("short.pal"), 0);
    Table expected = pattern(8);
    expected.back() = 0xD0;  // what the file did not deliver stays
    EXPECT_EQ(dark(), expected);
    EXPECT_EQ(light(), filled(0x70));
}

TEST_F(ShadeTablesTest, LightFileFailuresComeAfterTheDarkTableIsLoaded)
{
    putSystem("nolight.DRK", pattern(10));
    EXPECT_EQ(ZelVideo::loadPaletteShades("nolight.pal"), 0);
    EXPECT_EQ(dark(), pattern(10));
    EXPECT_EQ(light(), filled(0x70));

    putSystem("shortlight.DRK", pattern(11));
    putSystem("shortlight.LHT", pattern(12, 100));
    EXPECT_EQ(ZelVideo::loadPaletteShades("shortlight.pal"), 0);
    EXPECT_EQ(dark(), pattern(11));
    Table expected = filled(0x70);
    std::memcpy(expected.data(), pattern(12, 100).data(), 100);
    EXPECT_EQ(light(), expected);
}

// Files from the file system are ended by destroying them, disk files are
// closed first; either way no descriptor may stay open.
TEST_F(ShadeTablesTest, LeavesNoFileOpen)
{
    putSystem("ufs.DRK", pattern(1));
    putSystem("ufs.LHT", pattern(2, 10));
    put(dir + "/disk.DRK", pattern(3));
    put(dir + "/disk.LHT", pattern(4, 10));
    int descriptors = openDescriptors();
    EXPECT_EQ(ZelVideo::loadPaletteShades("ufs.pal"), 0);
    EXPECT_EQ(ZelVideo::loadPaletteShades((dir + "/disk.pal").c_str()), 0);
    EXPECT_EQ(ZelVideo::loadPaletteShades("nowhere.pal"), 0);
    EXPECT_EQ(openDescriptors(), descriptors);
}

TEST_F(ShadeTablesTest, NothingIsReadIntoTablesNotYetAllocated)
{
    putSystem("standard.DRK", pattern(1));
    putSystem("standard.LHT", pattern(2));
    unsigned char* light = ZelVideo::shadeLight;
    ZelVideo::shadeLight = nullptr;
    EXPECT_EQ(ZelVideo::loadPaletteShades("standard.pal"), 0);
    ZelVideo::shadeLight = light;
    EXPECT_EQ(dark(), filled(0xD0));
}

TEST_F(ShadeTablesTest, LookupTakesColumnsOfTheColoursRow)
{
    for (int c = 0; c < 256; ++c)
        for (int k = 0; k < ZelShadeLevels; ++k) {
            ZelVideo::shadeDark[c * ZelShadeLevels + k] = static_cast<unsigned char>(c + k);
            ZelVideo::shadeLight[c * ZelShadeLevels + k] = static_cast<unsigned char>(c - k);
        }
    for (int c : {0, 1, 100, 255}) {
        SCOPED_TRACE(c);
        unsigned char colour = static_cast<unsigned char>(c);
        EXPECT_EQ(shadeLookup(colour, 1), static_cast<unsigned char>(c));        // dark column 0
        EXPECT_EQ(shadeLookup(colour, 64), static_cast<unsigned char>(c + 63));  // dark column 63
        EXPECT_EQ(shadeLookup(colour, 0), static_cast<unsigned char>(c));        // light column 0
        EXPECT_EQ(shadeLookup(colour, -63), static_cast<unsigned char>(c - 63)); // light column 63
    }
}

}  // namespace
