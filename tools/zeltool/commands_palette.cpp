// palette import and export: raw palette files to and from the palettes of
// other programs, and a swatch picture of a palette.

#include <filesystem>

#include "tools/zeltool/commands.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/files.h"
#include "tools/zeltool/palette_formats.h"
#include "tools/zeltool/png_io.h"

namespace zeltool {

namespace {

constexpr int SwatchCells = 16;     // cells per row and per column
constexpr int SwatchCellSide = 16;  // pixels per cell side

// The 256 colours as a 16 x 16 grid of squares, entry i at column i % 16 of
// row i / 16, in an indexed PNG whose palette is the palette itself.
Bytes swatchPng(const Palette& palette)
{
    constexpr int side = SwatchCells * SwatchCellSide;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pixels[static_cast<std::size_t>(y * side + x)] =
                static_cast<std::uint8_t>(y / SwatchCellSide * SwatchCells + x / SwatchCellSide);
    return encodeIndexedPng(side, side, pixels.data(), palette);
}

void runImport(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    refuseOverwrite(out, {in});
    const Bytes data = readFile(in);
    const Palette palette = aboutFile(in, [&] { return decodeAnyPalette(data); });
    writeOutput(out, zelassets::encodePalette(palette));
}

void runExport(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    const std::string ext = extensionOf(out);
    if (ext != "png" && ext != "gpl" && ext != "pal")
        throw UsageError{"OUT must end in .png, .gpl or .pal, not '" + out + "'"};
    const auto preview = args.option("--preview");
    refuseOverwrite(out, {in});
    if (preview)
        refuseOverwrite(*preview, {in});

    const Palette palette = readPaletteFile(in);
    std::vector<Output> outputs(1);
    outputs[0].path = out;
    if (ext == "png")
        outputs[0].bytes = swatchPng(palette);
    else if (ext == "gpl")
        outputs[0].bytes = formatGimpPalette(palette, std::filesystem::path(out).stem().string());
    else
        outputs[0].bytes = formatJascPalette(palette);
    if (preview)
        outputs.push_back({*preview, swatchPng(palette)});
    writeOutputs(outputs);
}

}  // namespace

const Command PaletteImport{
    "palette import",
    "IN OUT.pal",
    "make a raw palette file from another program's palette",
    "Reads the palette of a PNG (its PLTE chunk), of an indexed GIF, BMP, TGA or\n"
    "PCX picture, a GIMP palette (.gpl), a JASC palette (.pal, as Paint Shop\n"
    "Pro writes it) or a raw 768-byte palette, recognised by content. OUT is the engine's palette file: 768 bytes, 256\n"
    "entries of red, green, blue from 0 to 255. Palettes with fewer than 256\n"
    "colours are filled up with black.\n",
    {},
    2,
    2,
    runImport};

const Command PaletteExport{
    "palette export",
    "IN.pal OUT.(png|gpl|pal) [--preview SWATCH.png]",
    "write a raw palette file for another program",
    "IN is a raw 768-byte palette file. The extension of OUT chooses the kind:\n"
    ".gpl a GIMP palette, .pal a JASC palette, .png an indexed PNG whose palette\n"
    "is IN, showing the swatch below.\n"
    "\n"
    "  --preview SWATCH.png  also write a swatch: a 256 x 256 PNG showing the\n"
    "                        colours as a 16 x 16 grid of squares, entry 0 at\n"
    "                        the top left, rows of 16 entries\n",
    {"--preview"},
    2,
    2,
    runExport};

}  // namespace zeltool
