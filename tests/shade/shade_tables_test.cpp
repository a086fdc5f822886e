// Shade table files: name derivation, loading in place with its failure
// cases, and the lookup through the loaded tables.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "shade/shade.h"
#include "test_support.h"

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
    EXPECT_EQ(nameOf(std::string(200, 'a').c_str(), "DRK").size(), size_t(ZelShadeNameSize - 1));
}

class ShadeTablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(system);
        ZelSystem::SetRegistryString("ufsroot", dir.path.c_str());
        liveBlocks = zeltest::liveBlockCount();
        for (unsigned char** table : {&ZelVideo::shadeDark, &ZelVideo::shadeLight}) {
            *table = static_cast<unsigned char*>(ZelMEMTmp::Malloc(ZelShadeTableBytes));
            ASSERT_NE(*table, nullptr);
        }
        fillTables();
    }
    void TearDown() override
    {
        ZelMEMTmp::Free(ZelVideo::shadeDark);
        ZelMEMTmp::Free(ZelVideo::shadeLight);
        EXPECT_EQ(zeltest::liveBlockCount(), liveBlocks);
        ZelSystem::SetRegistryString("ufsroot", nullptr);
    }

    static void fillTables()
    {
        std::memset(ZelVideo::shadeDark, 0xD0, ZelShadeTableBytes);
        std::memset(ZelVideo::shadeLight, 0x70, ZelShadeTableBytes);
    }
    static Table dark() { return Table(ZelVideo::shadeDark, ZelVideo::shadeDark + ZelShadeTableBytes); }
    static Table light() { return Table(ZelVideo::shadeLight, ZelVideo::shadeLight + ZelShadeTableBytes); }

    zeltest::Restore keep{ZelVideo::shadeDark, ZelVideo::shadeLight};
    zeltest::TempDir dir;
    const std::string system = dir.path + "/CDDATA/SYSTEM/";
    size_t liveBlocks = 0;
};

// The dark file is read first and the light file only when the dark table
// is complete; bytes beyond the table are ignored, and bytes a short file
// did not deliver stay as they were.
TEST_F(ShadeTablesTest, LoadsWhatTheFilesDeliverDarkFirst)
{
    constexpr long Whole = ZelShadeTableBytes, Missing = -1;
    const struct {
        long darkSize, lightSize;
        signed char result;
        long darkRead, lightRead;  // bytes of each file expected in its table
    } cases[] = {
        {Whole, Whole, -1, Whole, Whole},
        {Whole + 100, 2 * Whole, -1, Whole, Whole},
        {Missing, Whole, 0, 0, 0},
        {Whole - 1, Whole, 0, Whole - 1, 0},
        {Whole, Missing, 0, Whole, 0},
        {Whole, 100, 0, Whole, 100},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "dark " << c.darkSize << ", light " << c.lightSize);
        const std::string name = "case" + std::to_string(++n);
        if (c.darkSize != Missing)
            zeltest::writeFile(system + name + ".DRK", pattern(1, size_t(c.darkSize)));
        if (c.lightSize != Missing)
            zeltest::writeFile(system + name + ".LHT", pattern(2, size_t(c.lightSize)));
        fillTables();
        EXPECT_EQ(ZelVideo::loadPaletteShades((name + ".pal").c_str()), c.result);
        Table expectDark(ZelShadeTableBytes, 0xD0), expectLight(ZelShadeTableBytes, 0x70);
        std::memcpy(expectDark.data(), pattern(1).data(), size_t(c.darkRead));
        std::memcpy(expectLight.data(), pattern(2).data(), size_t(c.lightRead));
        EXPECT_EQ(dark(), expectDark);
        EXPECT_EQ(light(), expectLight);
    }
}

// A path outside the file system keeps its directory and is read from the
// disk. Files from the file system are ended by destroying them, disk files
// are closed first; either way no descriptor may stay open.
TEST_F(ShadeTablesTest, FallsBackToTheDiskAndLeavesNoFileOpen)
{
    std::filesystem::create_directories(dir.path + "/PAL");
    zeltest::writeFile(dir.path + "/PAL/NIGHT.DRK", pattern(3));
    zeltest::writeFile(dir.path + "/PAL/NIGHT.LHT", pattern(4));
    EXPECT_EQ(ZelVideo::loadPaletteShades((dir.path + "/PAL/NIGHT.V2.PAL").c_str()), -1);
    EXPECT_EQ(dark(), pattern(3));
    EXPECT_EQ(light(), pattern(4));

    zeltest::writeFile(system + "ufs.DRK", pattern(1));
    zeltest::writeFile(system + "ufs.LHT", pattern(2, 10));
    zeltest::writeFile(dir.path + "/disk.DRK", pattern(3));
    zeltest::writeFile(dir.path + "/disk.LHT", pattern(4, 10));
    const int descriptors = zeltest::openDescriptors();
    EXPECT_EQ(ZelVideo::loadPaletteShades("ufs.pal"), 0);
    EXPECT_EQ(ZelVideo::loadPaletteShades((dir.path + "/disk.pal").c_str()), 0);
    EXPECT_EQ(ZelVideo::loadPaletteShades("nowhere.pal"), 0);
    EXPECT_EQ(zeltest::openDescriptors(), descriptors);
}

TEST_F(ShadeTablesTest, NothingIsReadIntoTablesNotYetAllocated)
{
    zeltest::writeFile(system + "standard.DRK", pattern(1));
    zeltest::writeFile(system + "standard.LHT", pattern(2));
    unsigned char* light = ZelVideo::shadeLight;
    ZelVideo::shadeLight = nullptr;
    EXPECT_EQ(ZelVideo::loadPaletteShades("standard.pal"), 0);
    ZelVideo::shadeLight = light;
    EXPECT_EQ(dark(), Table(ZelShadeTableBytes, 0xD0));
}

// Shade 1 to 64 take dark columns 0 to 63 of the colour's row, 0 to -63 the
// light columns 0 to 63.
TEST_F(ShadeTablesTest, LookupTakesColumnsOfTheColoursRow)
{
    for (int c = 0; c < 256; ++c)
        for (int k = 0; k < ZelShadeLevels; ++k) {
            ZelVideo::shadeDark[c * ZelShadeLevels + k] = static_cast<unsigned char>(c + k);
            ZelVideo::shadeLight[c * ZelShadeLevels + k] = static_cast<unsigned char>(c - k);
        }
    for (int c : {0, 1, 100, 255}) {
        const auto colour = static_cast<unsigned char>(c);
        EXPECT_EQ(shadeLookup(colour, 1), colour) << c;
        EXPECT_EQ(shadeLookup(colour, 64), static_cast<unsigned char>(c + 63)) << c;
        EXPECT_EQ(shadeLookup(colour, 0), colour) << c;
        EXPECT_EQ(shadeLookup(colour, -63), static_cast<unsigned char>(c - 63)) << c;
    }
}

}  // namespace
