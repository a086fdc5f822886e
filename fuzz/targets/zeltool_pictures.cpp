// zeltool's picture readers (PNG, BMP, GIF, JPEG, TGA, PCX, engine bitmap)
// on any bytes, and what import does with a picture that decodes: its
// colours quantised into a palette and mapped onto it with and without
// dithering. The first byte chooses the GIF frame and the reserved entries;
// the rest is the file.
#include "fuzz/fuzz_support.h"
#include "tools/zeltool/colour_mapping.h"
#include "tools/zeltool/palette_making.h"
#include "tools/zeltool/pictures.h"

namespace {

// Quantising and mapping cost time per pixel; larger pictures are only
// decoded, so the fuzzer spends its time on the readers.
constexpr std::size_t MappedPixels = 1 << 14;

void mapColours(const zeltool::Image& image, int reserveChoice)
{
    const zeltool::Image rgba = zeltool::toRgba(image);
    std::vector<int> reserved;
    if (reserveChoice == 1)
        reserved = zeltool::defaultReserved();
    else if (reserveChoice == 2)
        for (int i = 1; i < 255; ++i)
            reserved.push_back(i);  // one free entry
    const zeltool::MadePalette made = zeltool::makePalette(rgba, reserved, zelassets::Palette{});
    for (zeltool::Dither d : {zeltool::Dither::FloydSteinberg, zeltool::Dither::None}) {
        const zeltool::Mapped mapped = zeltool::mapToPalette(rgba, made.palette, d, made.usable);
        if (mapped.indices.size() != rgba.pixelCount())
            __builtin_trap();
        (void)zeltool::describeError(mapped);
    }
}

}  // namespace

ZELFUZZ_TARGET(input)
{
    const uint8_t choice = input.byte();
    const zeltool::Picture picture = zeltool::decodePicture(input.rest(), choice & 3);
    const zeltool::Image& image = picture.image;
    if (image.pixels.size() != image.pixelCount() * (image.indexed ? 1 : 4))
        __builtin_trap();
    if (image.pixelCount() <= MappedPixels)
        mapColours(image, choice >> 2 & 3);
}
