#include "test_files.h"

#include <png.h>

#include <cstdio>

namespace zeltest {

std::string sourcePath(const std::string& relative)
{
    return std::string(ZELGFX_TEST_SOURCE_DIR) + "/" + relative;
}

bool readIndexedPng(const std::string& path, IndexedPng& out)
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
    out.rgb.clear();
    for (int i = 0; i < count; ++i)
        out.rgb.insert(out.rgb.end(), {colours[i].red, colours[i].green, colours[i].blue});
    out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
        png_read_row(png, out.pixels.data() + static_cast<size_t>(y) * out.width, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return true;
}

}  // namespace zeltest
