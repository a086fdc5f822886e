#include "tools/zeltool/image.h"

#include "tools/zeltool/errors.h"

namespace zeltool {

zelassets::Palette fullPalette(const std::vector<Rgb>& table)
{
    zelassets::Palette palette{};
    for (std::size_t i = 0; i < table.size() && i < palette.size(); ++i)
        palette[i] = table[i];
    return palette;
}

Image toRgba(const Image& image)
{
    if (!image.indexed)
        return image;
    Image out;
    out.width = image.width;
    out.height = image.height;
    out.pixels.resize(4 * image.pixelCount());
    for (std::size_t i = 0; i < image.pixelCount(); ++i) {
        const std::uint8_t v = image.pixels[i];
        const Rgb c = v < image.palette.size() ? image.palette[v] : Rgb{0, 0, 0};
        const std::uint8_t a = v < image.paletteAlpha.size() ? image.paletteAlpha[v] : 255;
        std::uint8_t* p = out.pixels.data() + 4 * i;
        p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = a;
    }
    return out;
}

std::string withCommas(long long count)
{
    const std::string digits = std::to_string(count < 0 ? -count : count);
    std::string out = count < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

void checkPictureSize(long long width, long long height, const char* what)
{
    std::string size = what;
    size += " of ";
    size += std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width <= 0 || height <= 0)
        throw FormatError{size};
    if (width * height > MaxImagePixels)
        throw FormatError{"is a " + size + ", more than the " + withCommas(MaxImagePixels) + " pixels this tool takes"};
}

}  // namespace zeltool
