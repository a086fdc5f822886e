// The showcase, run in-process on the headless driver: every frame it writes
// holds exactly the screen buffer at that refresh, through the palette that
// was sent, expanded to 8 bits.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "golden.h"
#include "test_support.h"
#include "tools/zeldemo/demo.h"
#include "video/palette.h"
#include "video/screen.h"

namespace {

namespace fs = std::filesystem;

struct Check {
    std::string dir;
    int frames = 0;
};

// After each refresh: the newest frame file against the screen and palette;
// then every frame file is removed.
void compareNewestFrame(void* context)
{
    auto& check = *static_cast<Check*>(context);
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(check.dir))
        files.push_back(entry.path());
    ASSERT_FALSE(files.empty());
    const fs::path newest = *std::max_element(files.begin(), files.end());
    zeltest::IndexedPng frame;
    const bool read = zeltest::readIndexedPng(newest.string(), frame);
    for (const fs::path& f : files)
        fs::remove(f);
    ASSERT_TRUE(read) << newest;
    ASSERT_EQ(std::pair(frame.width, frame.height), std::pair(scrWidth, scrHeight));
    ASSERT_EQ(0, std::memcmp(frame.pixels.data(), videoMemory, frame.pixels.size())) << newest;
    unsigned char sent[768];
    getPalette(sent);
    ASSERT_EQ(frame.rgb.size(), 768u);
    for (int i = 0; i < 768; ++i)
        ASSERT_EQ(frame.rgb[i], static_cast<unsigned char>(sent[i] << 2 | sent[i] >> 4)) << i;
    ++check.frames;
}

TEST(Showcase, HeadlessFramesHoldTheScreenAndThePalette)
{
    zeltest::TempDir dir;
    ZelSystem::SetRegistryString("headless_dir", dir.path.c_str());
    ASSERT_EQ(ZelVideo::init("headless", nullptr, nullptr), -1);
    zeldemo::Assets assets;
    ASSERT_TRUE(assets.make());
    Check check{dir.path};
    const zeldemo::TourResult result =
        zeldemo::runTour(assets, {.frames = 40, .fps = 0, .afterRefresh = compareNewestFrame, .context = &check});
    assets.release();
    ZelVideo::deinit();
    ZelSystem::SetRegistryString("headless_dir", nullptr);
    EXPECT_EQ(result.shown, 40);
    EXPECT_EQ(check.frames, 40);
}

}  // namespace
