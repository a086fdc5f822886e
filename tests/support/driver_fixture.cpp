#include "driver_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "data_files.h"
#include "font/font.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/screen.h"

namespace zeltest {

void DriverTest::SetUp()
{
    // ctest sets the search path; a test program run by hand finds the test
    // drivers here.
    setenv("ZEL_DRIVER_PATH", ZELGFX_TEST_DRIVERDIR, 0);
    char pattern[] = "/tmp/zeldrvXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    ZelSystem::SetRegistryString("ufsroot", root.c_str());
    liveBefore = liveBlockCount();
}

void DriverTest::TearDown()
{
    ZelVideo::deinit();
    deinitGraphics();
    ZelFont::unloadAll();
    // A failed start-up leaves its shade tables for the next one to reuse.
    for (unsigned char** table : {&ZelVideo::shadeDark, &ZelVideo::shadeLight}) {
        ZelMEMTmp::Free(*table);
        *table = nullptr;
    }
    for (const char* key : {"ufsroot", "graphics", "font", "palette"})
        ZelSystem::SetRegistryString(key, nullptr);
    unsetenv("ZEL_TESTDRV_SIZE");
    std::filesystem::remove_all(root);
    scrWidth = scrHeight = 0;
    EXPECT_EQ(liveBlockCount(), liveBefore) << "blocks left behind";
}

void DriverTest::writeFile(const std::string& relative, const std::string& bytes) const
{
    const std::filesystem::path path = std::filesystem::path(root) / relative;
    std::filesystem::create_directories(path.parent_path());
    zeltest::writeFile(path.string(), bytes);
}

void writeTestSystemFiles(const std::string& root)
{
    const std::string dir = root + "/CDDATA/SYSTEM/";
    std::filesystem::create_directories(dir);
    std::string palette;
    for (int i = 0; i < 256; ++i)
        palette += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i * 7)};
    writeFile(dir + "test.pal", palette);
    writeFile(dir + "test.DRK", std::string(16384, '\x02'));
    writeFile(dir + "test.LHT", std::string(16384, '\x03'));
    writeFile(dir + "test.fnt", fontFile({{'A', {2, 3, 0, 0, std::string("\x01\x00\x01\x01\x00\x01", 6)}}}));
}

}  // namespace zeltest
