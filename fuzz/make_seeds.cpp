// Writes the starting corpus of every fuzz target: small valid files of each
// format the target reads, made from the project's own data, so the fuzzers
// begin past the format checks.
//
//   fuzz_make_seeds DIR   writes DIR/<target>/<seed> for every target

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tools/assets/asset_files.h"
#include "tools/assets/font_design.h"
#include "tools/assets/palette_design.h"
#include "tools/zeltool/palette_formats.h"
#include "tools/zeltool/png_io.h"

namespace {

using zelassets::AssetBitmap;
using zelassets::Bytes;

void put16(Bytes& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(Bytes& out, uint32_t v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

AssetBitmap pattern(int width, int height, int originX, int originY)
{
    AssetBitmap b{width, height, originX, originY, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.pixels.push_back(static_cast<uint8_t>((x + y) % 3 == 0 ? 0 : 16 + x * 7 + y));
    return b;
}

Bytes zelBitmap(int width, int height, int originX, int originY)
{
    Bytes out;
    zelassets::encodeBitmap(pattern(width, height, originX, originY), out);
    return out;
}

// An 8-bit BMP 3.0 file with the standard palette as its colour table;
// a negative height stores the rows top first.
Bytes winBmp(int width, int height)
{
    const AssetBitmap b = pattern(width, height < 0 ? -height : height, 0, 0);
    const int rows = b.height;
    const int stride = (width + 3) & ~3;
    Bytes out;
    put16(out, 0x4d42);
    put32(out, static_cast<uint32_t>(54 + 1024 + stride * rows));
    put32(out, 0);
    put32(out, 54 + 1024);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, 8);
    for (int i = 0; i < 6; ++i)
        put32(out, 0);
    for (const zelassets::Rgb& c : zelassets::standardPalette()) {
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    }
    for (int r = 0; r < rows; ++r) {
        const int y = height < 0 ? r : rows - 1 - r;
        out.insert(out.end(), b.pixels.begin() + y * width, b.pixels.begin() + (y + 1) * width);
        out.resize(out.size() + static_cast<size_t>(stride - width), 0);
    }
    return out;
}

Bytes smallFont()
{
    zelassets::AssetFont font;
    for (int g = 0; g < 5; ++g) {
        font.glyphs.push_back(pattern(2 + g, 7, 0, 0));
        font.charMap['A' + g] = static_cast<uint8_t>(g + 1);
        font.charMap['a' + g] = static_cast<uint8_t>(g + 1);
    }
    font.charMap[' '] = 1;
    return zelassets::encodeFont(font);
}

Bytes shadeTables()
{
    Bytes out(2 + 2 * 16384);
    out[0] = 0x00;  // cut at 2 * 0x2000 bytes: the dark table in full
    out[1] = 0x20;
    for (size_t i = 2; i < out.size(); ++i)
        out[i] = static_cast<uint8_t>(i * 7);
    return out;
}

Bytes text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

Bytes prefixed(uint8_t first, Bytes rest)
{
    rest.insert(rest.begin(), first);
    return rest;
}

Bytes prefixed(uint8_t first, uint8_t second, Bytes rest)
{
    rest.insert(rest.begin(), second);
    rest.insert(rest.begin(), first);
    return rest;
}

Bytes indexedPng(int width, int height)
{
    const AssetBitmap b = pattern(width, height, 0, 0);
    return zeltool::encodeIndexedPng(width, height, b.pixels.data(), zelassets::standardPalette());
}

Bytes rgbaPng(int width, int height)
{
    std::vector<uint8_t> rgba;
    for (int i = 0; i < width * height; ++i)
        rgba.insert(rgba.end(), {static_cast<uint8_t>(i * 9), static_cast<uint8_t>(i * 5), 80,
                                 static_cast<uint8_t>(i % 4 ? 255 : 0)});
    return zeltool::encodeRgbaPng(width, height, rgba.data());
}

const char* const Bdf =
    "STARTFONT 2.1\nFONT -test-fixed\nSIZE 8 75 75\nFONTBOUNDINGBOX 6 9 0 -2\n"
    "CHARS 2\nSTARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 6 0\nBBX 5 7 0 0\nBITMAP\n"
    "20\n50\n88\nF8\n88\n88\n88\nENDCHAR\nSTARTCHAR B\nENCODING 66\nSWIDTH 500 0\nDWIDTH 6 0\n"
    "BBX 5 7 0 0\nBITMAP\nF0\n88\nF0\n88\n88\n88\nF0\nENDCHAR\nENDFONT\n";

Bytes psf1()
{
    Bytes out{0x36, 0x04, 0x00, 8};
    for (int g = 0; g < 256; ++g)
        for (int row = 0; row < 8; ++row)
            out.push_back(static_cast<uint8_t>(g * (row + 1)));
    return out;
}

struct Seed {
    std::string target;
    std::string name;
    Bytes content;
};

std::vector<Seed> seeds()
{
    const Bytes palette = zelassets::encodePalette(zelassets::standardPalette());
    const Bytes engineBitmap = zelBitmap(13, 7, 2, -3);
    const Bytes bmp = winBmp(13, 7);
    const Bytes grid = indexedPng(6 * 4, 9 * 2);
    std::vector<Seed> all = {
        {"zel_bitmap", "small", engineBitmap},
        {"zel_bitmap", "wide", zelBitmap(70, 2, -40, 1)},
        {"zel_bitmap", "empty", zelBitmap(0, 0, 0, 0)},
        {"win_bmp", "bottom_up", bmp},
        {"win_bmp", "top_down", winBmp(5, -4)},
        {"win_bmp", "padded", winBmp(1, 3)},
        {"font", "small", smallFont()},
        {"font", "standard", zelassets::encodeFont(zelassets::standardFont())},
        {"palette", "slot0", prefixed(0, palette)},
        {"palette", "slot5", prefixed(5, palette)},
        {"palette_shades", "both", shadeTables()},
        {"disk_file", "ops", {5, 'h', 'e', 'l', 'l', 'o', 0, 0, 3, 0, 2, 1, 4, 1, 7, 1, 20, 0, 11, 3, 0, 0, 0, 0, 2,
                              0, 8, 0, 5, 0, 6, 0, 9, 0, 18, 1, 4, 1, 2, 0, 15, 0, 17, 0, 13, 0, 14, 0, 1}},
        {"zeltool_import", "bitmap_import_bmp", prefixed(0, bmp)},
        {"zeltool_import", "bitmap_import_png", prefixed(0, rgbaPng(7, 5))},
        {"zeltool_import", "bitmap_info", prefixed(1, engineBitmap)},
        {"zeltool_import", "bitmap_export", prefixed(2, engineBitmap)},
        {"zeltool_import", "palette_gimp", prefixed(3, zeltool::formatGimpPalette(zelassets::standardPalette(), "s"))},
        {"zeltool_import", "palette_jasc", prefixed(3, zeltool::formatJascPalette(zelassets::standardPalette()))},
        {"zeltool_import", "palette_raw", prefixed(3, palette)},
        {"zeltool_import", "palette_png", prefixed(3, indexedPng(4, 4))},
        {"zeltool_import", "font_bdf", prefixed(4, text(Bdf))},
        {"zeltool_import", "font_psf", prefixed(4, psf1())},
        {"zeltool_import", "font_grid", prefixed(5, grid)},
        {"zeltool_import", "aggregate", prefixed(6, engineBitmap)},
        {"zeltool_import", "shade", prefixed(7, palette)},
    };
    for (uint8_t format : {0, 1, 2, 3}) {
        for (uint8_t how : {0, 1, 2, 3}) {
            const Bytes& file = how & 1 ? bmp : engineBitmap;
            std::string name = std::to_string(format);
            name.insert(0, 1, 'f');
            name.append("_h").append(std::to_string(how));
            all.push_back({"bitmap_load", name, prefixed(format, how, file)});
        }
    }
    return all;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::cerr << "usage: fuzz_make_seeds DIR\nWrites the starting corpus of every fuzz target to DIR/<target>/.\n";
        return argc == 2 ? 0 : 2;
    }
    for (const Seed& seed : seeds()) {
        const std::filesystem::path dir = std::filesystem::path(argv[1]) / seed.target;
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        std::string problem;
        if (error || !zelassets::writeFileAtomically(dir / seed.name, seed.content, problem)) {
            std::cerr << "fuzz_make_seeds: cannot write " << (dir / seed.name).string() << ": "
                      << (error ? error.message() : problem) << '\n';
            return 1;
        }
    }
    return 0;
}
