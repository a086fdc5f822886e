// bitmap import, export and info: engine bitmaps to and from PNG and BMP.

#include <iostream>

#include "tools/zeltool/bmp_io.h"
#include "tools/zeltool/colour_mapping.h"
#include "tools/zeltool/commands.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/files.h"
#include "tools/zeltool/palette_formats.h"
#include "tools/zeltool/pictures.h"
#include "tools/zeltool/png_io.h"

namespace zeltool {

namespace {

std::vector<std::string> inputsOf(const Args& args, std::size_t first = 0)
{
    std::vector<std::string> inputs(args.positional.begin() + static_cast<std::ptrdiff_t>(first),
                                    args.positional.end() - 1);
    if (const auto palette = args.option("--palette"))
        inputs.push_back(*palette);
    return inputs;
}

zelassets::Palette greyRamp()
{
    zelassets::Palette palette;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        palette[static_cast<std::size_t>(i)] = {v, v, v};
    }
    return palette;
}

void runImport(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    const IntPair origin = parsePair("--origin", args.option("--origin").value_or("0,0"), ',');
    refuseOverwrite(out, inputsOf(args));

    Image image = readPngOrBmp(in);
    zelassets::AssetBitmap bitmap{image.width, image.height, origin.a, origin.b, {}};
    if (image.indexed) {
        bitmap.pixels = std::move(image.pixels);
    } else {
        const auto palettePath = args.option("--palette");
        if (!palettePath)
            throw FileError{in, "is a true-colour picture; give --palette PAL to map its colours"};
        bitmap.pixels = mapToPalette(image, readPaletteFile(*palettePath));
    }
    Bytes bytes;
    zelassets::encodeBitmap(bitmap, bytes);
    writeOutput(out, bytes);
}

void runExport(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    refuseOverwrite(out, inputsOf(args));
    const Picture picture = readIndexedPicture(in);

    zelassets::Palette palette = greyRamp();
    if (const auto palettePath = args.option("--palette"))
        palette = readPaletteFile(*palettePath);
    else if (!picture.image.palette.empty())
        palette = fullPalette(picture.image.palette);
    const Image& image = picture.image;
    const Bytes png =
        aboutFile(in, [&] { return encodeIndexedPng(image.width, image.height, image.pixels.data(), palette); });
    writeOutput(out, png);
}

void runInfo(const Args& args)
{
    const std::string& in = args.positional[0];
    const Picture p = readPicture(in);
    const Image& image = p.image;
    const std::int64_t engineBytes =
        static_cast<std::int64_t>(zelassets::BitmapHeaderBytes) + static_cast<std::int64_t>(image.pixelCount());
    std::cout << in << ": " << kindName(p.kind);
    if (image.indexed && p.kind != PictureKind::EngineBitmap)
        std::cout << ", indexed, " << image.palette.size() << " colours";
    else if (!image.indexed)
        std::cout << ", true colour";
    std::cout << "\nwidth: " << image.width << "\nheight: " << image.height << "\norigin: " << p.originX << ','
              << p.originY << "\nfile bytes: " << p.fileBytes << "\nengine bitmap bytes: " << engineBytes
              << "\nBMP 3.0 bytes: " << bmp30FileBytes(image.width, image.height) << '\n';
}

}  // namespace

const Command BitmapImport{
    "bitmap import",
    "IN.(png|bmp) OUT.zbm [--palette PAL] [--origin X,Y]",
    "make an engine bitmap from a PNG or BMP picture",
    "Pictures with a palette (indexed PNG, BMP of 1, 4 or 8 bits) keep their\n"
    "indices; --palette is not used for them. True-colour and grey pictures are\n"
    "mapped to the colours of PAL, a raw 768-byte palette file, by nearest\n"
    "colour; fully transparent pixels become index 0, and no visible pixel does.\n"
    "\n"
    "  --palette PAL  palette for true-colour pictures\n"
    "  --origin X,Y   the bitmap's origin point (hot spot), default 0,0\n",
    {"--palette", "--origin"},
    2,
    2,
    runImport};

const Command BitmapExport{
    "bitmap export",
    "IN.(zbm|bmp) OUT.png [--palette PAL]",
    "write an engine bitmap or BMP as an indexed PNG",
    "The PNG keeps the indices and carries a 256-entry palette: PAL when given,\n"
    "else the BMP's own colour table, else a grey ramp (entry i is grey i).\n"
    "\n"
    "  --palette PAL  raw 768-byte palette file for the PNG's colours\n",
    {"--palette"},
    2,
    2,
    runExport};

const Command BitmapInfo{
    "bitmap info",
    "IN",
    "describe an engine bitmap, BMP or PNG",
    "Prints the kind of file, width, height and origin point, the file's size\n"
    "and the bytes the picture takes as an engine bitmap and as an 8-bit\n"
    "BMP 3.0 file.\n",
    {},
    1,
    1,
    runInfo};

}  // namespace zeltool
