#include "driver_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bitmap/bitmap.h"
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

TestDriverState* DriverTest::stateOf(HMODULE module)
{
    auto fn = reinterpret_cast<TestDriverStateFn>(GetProcAddress(module, "testDriverState"));
    return fn ? fn() : nullptr;
}

bool DriverTest::loaded(HMODULE module)
{
    return GetProcAddress(module, "testDriverState") != nullptr;
}

void DriverTest::writeFile(const std::string& relative, const std::string& bytes) const
{
    std::filesystem::path path = std::filesystem::path(root) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

namespace {
std::string le32(int32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xff);
    return s;
}
}  // namespace

void DriverTest::writeSystemFiles() const
{
    writeTestSystemFiles(root);
}

void writeTestSystemFiles(const std::string& root)
{
    const auto write = [&root](const std::string& relative, const std::string& bytes) {
        const std::filesystem::path path = std::filesystem::path(root) / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    };
    std::string palette;
    for (int i = 0; i < 256; ++i)
        palette += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i * 7)};
    write("CDDATA/SYSTEM/test.pal", palette);
    write("CDDATA/SYSTEM/test.DRK", std::string(16384, '\x02'));
    write("CDDATA/SYSTEM/test.LHT", std::string(16384, '\x03'));

    // One glyph, 'A', 2 x 3 pixels.
    std::string font = le32(1);
    std::string map(256, '\0');
    map['A'] = 1;
    font += map + le32(2) + le32(3) + le32(0) + le32(0) + le32(0) + std::string("\x01\x00\x01\x01\x00\x01", 6);
    write("CDDATA/SYSTEM/test.fnt", font);
}

}  // namespace zeltest
