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

// The decoders pad pixels that the file does not hold with zeros; a file
// cut short is refused here instead, walking run-length codes where needed.
void checkTgaLength(const Bytes& data, long long width, long long height)
{
    const std::uint64_t pixelBytes = (data[16] + 7u) / 8, mapBytes = data[1] ? load16(data, 5) * ((data[7] + 7u) / 8) : 0;
    const std::uint64_t need = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    std::uint64_t at = 18 + data[0] + mapBytes, got = 0;
    if (data[2] & 8) {
        while (got < need && at < data.size()) {
            const std::uint8_t packet = data[at++];
            const std::uint64_t count = (packet & 0x7fu) + 1;
            at += packet & 0x80 ? pixelBytes : count * pixelBytes;
            got += count;
        }
    } else {
        got = need;
        at += need * pixelBytes;
    }
    if (got < need || at > data.size())
        throw FormatError{"the TGA file ends before its last pixel"};
}

void checkPcxLength(const Bytes& data, long long height)
{
    const std::uint64_t need = static_cast<std::uint64_t>(load16(data, 66)) * data[65] * static_cast<std::uint64_t>(height);
    std::uint64_t got = 0;
    std::size_t at = 128;
    while (got < need) {
        if (at >= data.size())
            throw FormatError{"the PCX file ends before its last row"};
        const std::uint8_t b = data[at++];
        if ((b & 0xc0) == 0xc0) {
            got += b & 0x3f;
            ++at;
        } else {
            ++got;
        }
    }
    if (at > data.size())
        throw FormatError{"the PCX file ends before its last row"};
    // 256 colours follow the rows, after a byte 12; the decoder reads them
    // from the file's end.
    const bool tableAtEnd = data[1] == 5 && data[3] == 8 && data[65] == 1;
    if (tableAtEnd && (data.size() - at < 769 || data[data.size() - 769] != 12))
        throw FormatError{"the PCX file ends before its colour table"};
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
    checkTgaLength(data, load16(data, 12), load16(data, 14));
    if (data[17] & 0x10)
        throw FormatError{"TGA stored right to left, which the decoder does not read"};
    Surface s = decodeWith(IMG_LoadTGA_RW, data, "TGA");
    return imageFrom(*s, "TGA");
}

Image decodePcx(const Bytes& data)
{
    if (!isPcx(data))
        throw FormatError{"not a PCX picture"};
    const long long height = static_cast<long long>(load16(data, 10)) - load16(data, 6) + 1;
    checkPictureSize(static_cast<long long>(load16(data, 8)) - load16(data, 4) + 1, height, "PCX");
    checkPcxLength(data, height);
    Surface s = decodeWith(IMG_LoadPCX_RW, data, "PCX");
    return imageFrom(*s, "PCX");
}

}  // namespace zeltool
