#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/zelufs/zelufs.h"

namespace fs = std::filesystem;

namespace {

class ZelUFSTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zelufsXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root + "/Data/Fonts");
        std::ofstream(root + "/Data/Fonts/Font.bin", std::ios::binary) << "font bytes";
        std::ofstream(root + "/Top.bin", std::ios::binary) << "top";
        ZelSystem::SetRegistryString("ufsroot", root.c_str());
    }
    void TearDown() override
    {
        ZelSystem::SetRegistryString("ufsroot", nullptr);
        fs::remove_all(root);
    }

    // Opens, reads the whole file and destroys it; "<null>" when nothing opens.
    static std::string contents(const char* name, const char* dir)
    {
        HClass<ZelFile> file = ZelUFSLib::Lib->openBin(name, dir, 0);
        if (file.isNull())
            return "<null>";
        EXPECT_EQ(file->position, 0);
        char buffer[64];
        std::string s(buffer, file->read(buffer, 1, sizeof buffer));
        file->close();
        file.destroy();
        return s;
    }

    std::string root;
};

TEST_F(ZelUFSTest, Roots)
{
    EXPECT_EQ(ZelUFSLib::roots(), std::vector<std::string>{root});
    ZelSystem::SetRegistryString("ufsroot", nullptr);
    std::vector<std::string> standard = ZelUFSLib::roots();
    ASSERT_EQ(standard.size(), 2u);
    EXPECT_EQ(standard[0], ".");
    EXPECT_TRUE(standard[1].ends_with("/share/zelgfx")) << standard[1];  // beside the library's lib/
}

TEST_F(ZelUFSTest, FindsFilesExactlyAndWithoutCase)
{
    EXPECT_EQ(contents("Font.bin", "Data/Fonts"), "font bytes");
    EXPECT_EQ(contents("font.BIN", "data/FONTS"), "font bytes");
    EXPECT_EQ(contents("FONT.bin", "/Data/fonts/"), "font bytes");
    EXPECT_EQ(contents("top.bin", nullptr), "top");
    EXPECT_EQ(contents("Top.bin", ""), "top");
    ZelSystem::SetRegistryString("ufsroot", (root + "/").c_str());
    EXPECT_EQ(contents("Top.bin", "/"), "top");
}

TEST_F(ZelUFSTest, MissingFilesGiveNullWithoutLeaking)
{
    size_t blocks = ZelMem::LiveBlocks().size();
    EXPECT_EQ(contents("Missing.bin", "Data/Fonts"), "<null>");
    EXPECT_EQ(contents("Font.bin", "Data"), "<null>");
    EXPECT_EQ(contents("Fonts", "Data"), "<null>");  // a directory is no file
    EXPECT_EQ(contents("", "Data/Fonts"), "<null>");
    EXPECT_EQ(contents(nullptr, "Data/Fonts"), "<null>");
    EXPECT_EQ(ZelMem::LiveBlocks().size(), blocks);
}

}  // namespace
