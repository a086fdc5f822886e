// The showcase, run in-process on the headless driver: every frame it writes
// holds exactly the screen buffer at that refresh, through the palette that
// was sent, expanded to 8 bits.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

// After each refresh: the newest frame file against the screen and palette.
void compareNewestFrame(void* context)
{
    auto& check = *static_cast<Check*>(context);
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(check.dir))
        files.push_back(entry.path());
    ASSERT_FALSE(files.empty());
    const fs::path newest = *std::max_element(files.begin(), files.end());
    zeltest::IndexedPng frame;
    ASSERT_TRUE(zeltest::readIndexedPng(newest.string(), frame)) << newest;
    ASSERT_EQ(frame.width, scrWidth);
    ASSERT_EQ(frame.height, scrHeight);
    ASSERT_EQ(0, std::memcmp(frame.pixels.data(), videoMemory, frame.pixels.size())) << newest;
    unsigned char sent[768];
    getPalette(sent);
    ASSERT_EQ(frame.rgb.size(), 768u);
    for (int i = 0; i < 768; ++i)
        ASSERT_EQ(frame.rgb[i], static_cast<unsigned char>(sent[i] << 2 | sent[i] >> 4)) << i;
    for (const fs::path& f : files)
        fs::remove(f);
    ++check.frames;
}

TEST(Showcase, HeadlessFramesHoldTheScreenAndThePalette)
{
    zeltest::TempDir dir;
    ZelSystem::SetRegistryString("headless_dir", dir.path.c_str());
    ZelSystem::SetRegistryString("headless_width", "320");
    ZelSystem::SetRegistryString("headless_height", "200");
    ASSERT_EQ(ZelVideo::init("headless", nullptr, nullptr), -1);
    zeldemo::Assets assets;
    ASSERT_TRUE(assets.make());
    Check check{dir.path};
    zeldemo::TourOptions options;
    options.frames = 40;
    options.fps = 0;
    options.afterRefresh = compareNewestFrame;
    options.context = &check;
    const zeldemo::TourResult result = zeldemo::runTour(assets, options);
    assets.release();
    ZelVideo::deinit();
    for (const char* key : {"headless_dir", "headless_width", "headless_height"})
        ZelSystem::SetRegistryString(key, nullptr);
    EXPECT_EQ(result.shown, 40);
    EXPECT_EQ(check.frames, 40);
}

}  // namespace
