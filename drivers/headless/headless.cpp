// The headless driver: no display at all. The screen size comes from the
// configuration; every refresh (or every Nth) is written as an indexed PNG
// through the current palette into a configured directory, and nothing is
// written when no directory is configured.
//
// Configuration (ZelSystem::GetRegistryString keys, e.g. the environment
// variables ZEL_headless_width): headless_width (320), headless_height (200),
// headless_dir (no files when empty), headless_every (1: every frame).

#include <png.h>

#include <cstdio>
#include <string>

#include "drivers/driver_api.h"
#include "drivers/driver_common.h"

namespace {

struct Headless {
    int width = 320;
    int height = 200;
    unsigned char** screen = nullptr;
    zeldrv::Palette6 palette;
    long frames = 0;
} state;

bool writeFrame(const std::string& path)
{
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::remove(temporary.c_str());
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(state.width), static_cast<png_uint_32>(state.height), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {zeldrv::expand6to8(state.palette.rgb[3 * i]), zeldrv::expand6to8(state.palette.rgb[3 * i + 1]),
                      zeldrv::expand6to8(state.palette.rgb[3 * i + 2])};
    png_set_PLTE(png, info, colours, 256);
    png_write_info(png, info);
    const unsigned char* pixels = *state.screen;
    for (int y = 0; y < state.height; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels + static_cast<size_t>(y) * state.width));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0 || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

ZEL_DRIVER_EXPORT signed char hookDevice(ZelDeviceRect* rect, unsigned char** videoMemory)
{
    state.width = static_cast<int>(zeldrv::configNumber("headless_width", 320));
    state.height = static_cast<int>(zeldrv::configNumber("headless_height", 200));
    if (state.width < 1 || state.height < 1) {
        state.width = 320;
        state.height = 200;
    }
    rect->right = state.width;
    rect->bottom = state.height;
    state.screen = videoMemory;
    return -1;
}

ZEL_DRIVER_EXPORT signed char setVideoMode(uintptr_t)
{
    state.frames = 0;
    return -1;
}

ZEL_DRIVER_EXPORT signed char setTextMode(uintptr_t)
{
    return -1;
}

ZEL_DRIVER_EXPORT void setPalette(unsigned short first, unsigned short count, unsigned char* rgb)
{
    state.palette.load(first, count, rgb);
}

ZEL_DRIVER_EXPORT void refresh()
{
    const long frame = state.frames++;
    char dir[512];
    ZelSystem::GetRegistryString("headless_dir", "", dir, sizeof dir);
    const long every = zeldrv::configNumber("headless_every", 1);
    if (!dir[0] || !state.screen || !*state.screen || frame % (every > 0 ? every : 1) != 0)
        return;
    char name[32];
    std::snprintf(name, sizeof name, "/frame%06ld.png", frame);
    if (!writeFrame(std::string(dir) + name))
        std::fprintf(stderr, "headless.drv: cannot write %s%s\n", dir, name);
}

ZEL_DRIVER_EXPORT signed char winEvent(unsigned int, unsigned int, unsigned short, unsigned int)
{
    return 0;
}
