// Shade tables loaded in place from the file system or the disk (the names
// derived from a palette's are in names.scene).

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

// The dark file is read first and the light one only when the dark table is
// whole; bytes beyond a table are ignored, bytes a short file did not
// deliver keep their value; files are read from the file system, else from
// the disk, and none is left open. Nothing is read before both tables exist.
TEST(ShadeTables, LoadWhatTheFilesDeliverDarkFirst)
{
    zeltest::TempDir dir;
    zeltest::Restore keep{ZelVideo::shadeDark, ZelVideo::shadeLight};
    const std::string system = dir.path + "/CDDATA/SYSTEM/";
    std::filesystem::create_directories(system);
    ZelSystem::SetRegistryString("ufsroot", dir.path.c_str());
    Table dark(ZelShadeTableBytes), light(ZelShadeTableBytes);
    ZelVideo::shadeDark = dark.data();
    ZelVideo::shadeLight = light.data();
    constexpr long Whole = ZelShadeTableBytes, Missing = -1;
    const struct {
        std::string name;
        long darkSize, lightSize, darkRead, lightRead;  // bytes of each file expected in its table
        signed char result;
    } cases[] = {
        {"a", Whole, Whole, Whole, Whole, -1},       {"b", Whole + 100, 2 * Whole, Whole, Whole, -1},
        {"c", Missing, Whole, 0, 0, 0},              {"d", Whole - 1, Whole, Whole - 1, 0, 0},
        {"e", Whole, Missing, Whole, 0, 0},          {"f", Whole, 100, Whole, 100, 0},
        {dir.path + "/g", Whole, Whole, Whole, Whole, -1}, {dir.path + "/h", Whole, 10, Whole, 10, 0},
    };
    const int descriptors = zeltest::openDescriptors();
    for (const auto& c : cases) {
        const std::string at = c.name[0] == '/' ? c.name : system + c.name;
        if (c.darkSize != Missing)
            zeltest::writeFile(at + ".DRK", pattern(1, size_t(c.darkSize)));
        if (c.lightSize != Missing)
            zeltest::writeFile(at + ".LHT", pattern(2, size_t(c.lightSize)));
        std::memset(dark.data(), 0xd0, dark.size());
        std::memset(light.data(), 0x70, light.size());
        EXPECT_EQ(ZelVideo::loadPaletteShades((c.name + ".x.pal").c_str()), c.result) << c.name;
        Table expectDark(ZelShadeTableBytes, 0xd0), expectLight(ZelShadeTableBytes, 0x70);
        std::memcpy(expectDark.data(), pattern(1).data(), size_t(c.darkRead));
        std::memcpy(expectLight.data(), pattern(2).data(), size_t(c.lightRead));
        EXPECT_TRUE(dark == expectDark && light == expectLight) << c.name;
    }
    EXPECT_EQ(zeltest::openDescriptors(), descriptors);
    ZelVideo::shadeLight = nullptr;
    std::memset(dark.data(), 0xd0, dark.size());
    EXPECT_EQ(ZelVideo::loadPaletteShades("a.pal"), 0);
    EXPECT_EQ(dark, Table(ZelShadeTableBytes, 0xd0));
    ZelSystem::SetRegistryString("ufsroot", nullptr);
}

}  // namespace
