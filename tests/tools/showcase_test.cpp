// The showcase, run in-process on the headless driver: every frame it writes
// holds exactly the screen buffer at that refresh, through the palette that
// was sent, expanded to 8 bits.

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_support.h"
#include "tools/zeldemo/demo.h"
#include "video/palette.h"
#include "video/screen.h"

namespace {

namespace fs = std::filesystem;

struct Frame {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    std::vector<png_color> palette;
};

bool decode(const std::string& path, Frame& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    out.width = static_cast<int>(png_get_image_width(png, info));
    out.height = static_cast<int>(png_get_image_height(png, info));
    png_colorp colours = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &colours, &count);
    out.palette.assign(colours, colours + count);
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        png_read_row(png, out.pixels.data() + static_cast<size_t>(y) * out.width, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return true;
}

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
    Frame frame;
    ASSERT_TRUE(decode(newest.string(), frame)) << newest;
    ASSERT_EQ(frame.width, scrWidth);
    ASSERT_EQ(frame.height, scrHeight);
    ASSERT_EQ(0, std::memcmp(frame.pixels.data(), videoMemory, frame.pixels.size())) << newest;
    unsigned char sent[768];
    getPalette(sent);
    ASSERT_EQ(frame.palette.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        const auto expand = [](unsigned char v) { return static_cast<unsigned char>(v << 2 | v >> 4); };
        ASSERT_EQ(frame.palette[i].red, expand(sent[3 * i])) << i;
        ASSERT_EQ(frame.palette[i].green, expand(sent[3 * i + 1])) << i;
        ASSERT_EQ(frame.palette[i].blue, expand(sent[3 * i + 2])) << i;
    }
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
