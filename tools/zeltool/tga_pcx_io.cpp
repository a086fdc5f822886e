#include "tools/zeltool/tga_pcx_io.h"

#include <SDL_image.h>

#include <algorithm>
#include <memory>
#include <string>

#include "tools/zeltool/errors.h"

namespace zeltool {

namespace {

using zelassets::Bytes;

int load16(const Bytes& data, std::size_t at)
{
    return data[at] | data[at + 1] << 8;
}

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

Surface decodeWith(SDL_Surface* (*decoder)(SDL_RWops*), const Bytes& data, const char* what)
{
    SDL_RWops* source = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
    if (!source)
        throw FormatError{std::string("cannot read the ") + what + ": " + SDL_GetError()};
    Surface surface(decoder(source));
    SDL_RWclose(source);
    if (!surface)
        throw FormatError{std::string("bad ") + what + ": " + SDL_GetError()};
    return surface;
}

// Indices of a palette surface of 1, 4 or 8 bits per pixel, high bits first.
Image indexedFrom(const SDL_Surface& s)
{
    Image out;
    out.indexed = true;
    out.width = s.w;
    out.height = s.h;
    const SDL_Palette& palette = *s.format->palette;
    for (int i = 0; i < palette.ncolors; ++i)
        out.palette.push_back({palette.colors[i].r, palette.colors[i].g, palette.colors[i].b});
    Uint32 key = 0;
    if (SDL_GetColorKey(const_cast<SDL_Surface*>(&s), &key) == 0 && key < 256) {
        out.paletteAlpha.assign(std::max<std::size_t>(out.palette.size(), key + 1), 255);
        out.paletteAlpha[key] = 0;
    }
    const int bits = s.format->BitsPerPixel;
    const int perByte = 8 / bits;
    out.pixels.resize(out.pixelCount());
    for (int y = 0; y < s.h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(s.pixels) + static_cast<std::size_t>(y) * s.pitch;
        for (int x = 0; x < s.w; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            out.pixels[static_cast<std::size_t>(y) * s.w + x] =
                static_cast<std::uint8_t>(row[x / perByte] >> shift & ((1 << bits) - 1));
        }
    }
    return out;
}

Image rgbaFrom(SDL_Surface& s, const char* what)
{
    const Surface rgba(SDL_ConvertSurfaceFormat(&s, SDL_PIXELFORMAT_RGBA32, 0));
    if (!rgba)
        throw FormatError{std::string("cannot convert the ") + what + "'s pixels: " + SDL_GetError()};
    Image out;
    out.width = rgba->w;
    out.height = rgba->h;
    out.pixels.resize(4 * out.pixelCount());
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(out.width);
    for (int y = 0; y < out.height; ++y)
        std::copy_n(static_cast<const std::uint8_t*>(rgba->pixels) + static_cast<std::size_t>(y) * rgba->pitch,
                    rowBytes, out.pixels.data() + rowBytes * static_cast<std::size_t>(y));
    return out;
}

Image imageFrom(SDL_Surface& s, const char* what)
{
    const bool palette = s.format->palette && (s.format->BitsPerPixel == 1 || s.format->BitsPerPixel == 4 ||
                                               s.format->BitsPerPixel == 8);
    return palette ? indexedFrom(s) : rgbaFrom(s, what);
}

}  // namespace

bool isTga(const Bytes& data)
{
    if (data.size() < 18)
        return false;
    const int mapType = data[1], type = data[2], mapBits = data[7], depth = data[16];
    const int base = type & ~8;  // 9, 10 and 11 are the run-length coded 1, 2 and 3
    if (mapType > 1 || (type & ~(8 | 3)) != 0 || base == 0 || (data[17] & 0xc0) != 0)
        return false;
    if (mapType == 1 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
        return false;
    if (base == 1)
        return mapType == 1 && depth == 8;
    if (base == 3)
        return depth == 8;
    return depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

bool isPcx(const Bytes& data)
{
    if (data.size() < 128 || data[0] != 0x0a || data[1] > 5 || data[1] == 1 || data[2] != 1)
        return false;
    const int bits = data[3], planes = data[65];
    return (bits == 1 || bits == 2 || bits == 4 || bits == 8) && planes >= 1 && planes <= 4;
}

Image decodeTga(const Bytes& data)
{
    if (!isTga(data))
        throw FormatError{"not a TGA picture"};
    checkPictureSize(load16(data, 12), load16(data, 14), "TGA");
    if (data[17] & 0x10)
        throw FormatError{"TGA stored right to left, which the decoder does not read"};
    Surface s = decodeWith(IMG_LoadTGA_RW, data, "TGA");
    return imageFrom(*s, "TGA");
}

Image decodePcx(const Bytes& data)
{
    if (!isPcx(data))
        throw FormatError{"not a PCX picture"};
    checkPictureSize(static_cast<long long>(load16(data, 8)) - load16(data, 4) + 1,
                     static_cast<long long>(load16(data, 10)) - load16(data, 6) + 1, "PCX");
    Surface s = decodeWith(IMG_LoadPCX_RW, data, "PCX");
    return imageFrom(*s, "PCX");
}

}  // namespace zeltool
