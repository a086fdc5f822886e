#include "golden.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zeltest {

std::string sourcePath(const std::string& relative)
{
    return std::string(ZELGFX_TEST_SOURCE_DIR) + "/" + relative;
}

std::string standardDataFile(const std::string& name)
{
    const std::string path = std::string(ZELGFX_BUILD_DATADIR) + "/CDDATA/SYSTEM/" + name;
    return std::filesystem::exists(path) ? path : std::string();
}

bool writePng(const Bitmap& b, const std::string& path, const unsigned char* palette)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(b.width), static_cast<png_uint_32>(b.height), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colours[256];
    const auto expand = [](unsigned char v6) { return static_cast<png_byte>((v6 << 2) | (v6 >> 4)); };
    for (int i = 0; i < 256; ++i)
        colours[i] = palette ? png_color{expand(palette[3 * i]), expand(palette[3 * i + 1]), expand(palette[3 * i + 2])}
                             : png_color{static_cast<png_byte>(i), static_cast<png_byte>(i), static_cast<png_byte>(i)};
    png_set_PLTE(png, info, colours, 256);
    png_write_info(png, info);
    for (int y = 0; y < b.height; ++y)
        png_write_row(png, const_cast<png_bytep>(b.pixels() + static_cast<size_t>(y) * b.width));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
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

::testing::AssertionResult matchesGolden(const Bitmap& b, const std::string& relative, const unsigned char* palette)
{
    const std::string path = sourcePath(relative);
    std::vector<std::string> actual;
    for (int i = 0; i < b.width * b.height; ++i) {
        if (i % b.width == 0)
            actual.emplace_back();
        actual.back() += {"0123456789abcdef"[b.pixels()[i] >> 4], "0123456789abcdef"[b.pixels()[i] & 15]};
    }
    const char* update = std::getenv("ZEL_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream out(path);
        out << b.width << " " << b.height << "\n";
        for (const std::string& row : actual)
            out << row << "\n";
        const std::string png = path.substr(0, path.rfind('.')) + ".png";
        writePng(b, png, palette);
        return ::testing::AssertionSuccess() << "golden written: " << path << " and " << png;
    }
    std::ifstream in(path);
    int w = 0, h = 0;
    if (!(in >> w >> h))
        return ::testing::AssertionFailure() << "no golden picture at " << path
                                             << " (run with ZEL_UPDATE_GOLDEN=1 to make it)";
    if (w != b.width || h != b.height)
        return ::testing::AssertionFailure() << "golden is " << w << " x " << h << ", picture is " << b.width
                                             << " x " << b.height;
    for (int y = 0; y < h; ++y) {
        std::string row;
        in >> row;
        const auto [at, _] = std::mismatch(row.begin(), row.end(), actual[y].begin(), actual[y].end());
        if (row != actual[y])
            return ::testing::AssertionFailure() << "row " << y << " differs from column " << (at - row.begin()) / 2
                                                 << ":\n  golden " << row << "\n  actual " << actual[y];
    }
    return ::testing::AssertionSuccess();
}

}  // namespace zeltest
