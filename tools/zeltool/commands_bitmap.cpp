// bitmap import, export and info: engine bitmaps from the pictures of other
// programs, with their palettes kept, mapped or made; and back to PNG.

#include <iostream>

#include "tools/assets/palette_design.h"
#include "tools/zeltool/bmp_io.h"
#include "tools/zeltool/colour_mapping.h"
#include "tools/zeltool/commands.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/files.h"
#include "tools/zeltool/palette_formats.h"
#include "tools/zeltool/palette_making.h"
#include "tools/zeltool/pictures.h"
#include "tools/zeltool/png_io.h"

namespace zeltool {

namespace {

zelassets::Palette greyRamp()
{
    zelassets::Palette palette;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        palette[static_cast<std::size_t>(i)] = {v, v, v};
    }
    return palette;
}

// What import does with the picture's colours, from its options.
struct ImportPlan {
    std::optional<std::string> target;       // --remap or --palette: map onto this palette
    std::optional<std::string> makePalette;  // --make-palette: write a new palette here
    std::optional<std::string> paletteOut;   // --palette-out: write the picture's own palette here
    std::vector<int> reserved = defaultReserved();
    std::optional<std::string> base;  // --base: colours of the reserved entries
    Dither dither = Dither::FloydSteinberg;
};

ImportPlan planImport(const Args& args)
{
    ImportPlan plan;
    const auto remap = args.option("--remap"), palette = args.option("--palette");
    if (remap && palette)
        throw UsageError{"--remap and --palette are the same option; give one"};
    plan.target = remap ? remap : palette;
    plan.makePalette = args.option("--make-palette");
    plan.paletteOut = args.option("--palette-out");
    if ((plan.target ? 1 : 0) + (plan.makePalette ? 1 : 0) + (plan.paletteOut ? 1 : 0) > 1)
        throw UsageError{"give one of --palette-out, --remap (--palette) and --make-palette"};
    if (const auto reserve = args.option("--reserve"))
        plan.reserved = parseReserved("--reserve", *reserve);
    plan.base = args.option("--base");
    if ((args.option("--reserve") || plan.base) && !plan.makePalette)
        throw UsageError{"--reserve and --base apply to --make-palette"};
    if (const auto dither = args.option("--dither")) {
        if (*dither != "fs" && *dither != "none")
            throw UsageError{"--dither expects fs or none, not '" + *dither + "'"};
        if (!plan.target && !plan.makePalette)
            throw UsageError{"--dither applies when colours are mapped (--remap, --palette or --make-palette)"};
        plan.dither = *dither == "none" ? Dither::None : Dither::FloydSteinberg;
    }
    return plan;
}

// "1 colour", "5 colours".
std::string counted(std::size_t n, const std::string& noun)
{
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string ditherName(Dither d)
{
    return d == Dither::None ? "nearest colour, no dithering" : "Floyd-Steinberg dithering";
}

void runImport(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    const IntPair origin = parsePair("--origin", args.option("--origin").value_or("0,0"), ',');
    const int frame = parseIntIn("--frame", args.option("--frame").value_or("0"), 0, 1 << 20);
    const ImportPlan plan = planImport(args);
    std::vector<std::string> inputs = {in};
    for (const auto& p : {plan.target, plan.base})
        if (p)
            inputs.push_back(*p);
    for (const auto& o : {std::optional<std::string>(out), plan.makePalette, plan.paletteOut})
        if (o)
            refuseOverwrite(*o, inputs);

    Image image = readForeignPicture(in, frame);
    zelassets::AssetBitmap bitmap{image.width, image.height, origin.a, origin.b, {}};
    std::vector<Output> outputs(1);
    std::string report;
    if (plan.makePalette) {
        const zelassets::Palette base = plan.base ? readAnyPaletteFile(*plan.base) : zelassets::standardPalette();
        const Image rgba = toRgba(image);
        const MadePalette made = makePalette(rgba, plan.reserved, base);
        const Mapped mapped = mapToPalette(rgba, made.palette, plan.dither, made.usable);
        bitmap.pixels = mapped.indices;
        outputs.push_back({*plan.makePalette, zelassets::encodePalette(made.palette)});
        report = "made a palette of " + counted(static_cast<std::size_t>(made.colours), "colour") + " for " + in +
                 " in " + *plan.makePalette + " (" +
                 (plan.reserved.empty() ? "entry 0" : std::to_string(plan.reserved.size() + 1) + " entries") +
                 " reserved), " + ditherName(plan.dither) + ": " + describeError(mapped);
    } else if (plan.target) {
        const Mapped mapped = mapToPalette(toRgba(image), readAnyPaletteFile(*plan.target), plan.dither);
        bitmap.pixels = mapped.indices;
        report = std::string(image.indexed ? "remapped" : "mapped") + " the colours of " + in + " onto " +
                 *plan.target + ", " + ditherName(plan.dither) + ": " + describeError(mapped);
    } else if (!image.indexed) {
        throw FileError{in, "is a true-colour picture; give --palette PAL to map its colours onto a palette, or "
                            "--make-palette OUT.pal to make one"};
    } else {
        bitmap.pixels = image.pixels;
        const std::string colours = counted(image.palette.size(), "colour");
        if (plan.paletteOut) {
            outputs.push_back({*plan.paletteOut, zelassets::encodePalette(fullPalette(image.palette))});
            report = "kept the indices of " + in + " and wrote its palette of " + colours + " to " + *plan.paletteOut;
        } else {
            report = "kept the indices of " + in + "; its own palette (" + colours +
                     ") is not written: --palette-out FILE writes it, --remap PAL maps the picture onto PAL";
        }
    }
    zelassets::encodeBitmap(bitmap, outputs[0].bytes);
    outputs[0].path = out;
    writeOutputs(outputs);
    progress(report);
}

void runExport(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    std::vector<std::string> inputs = {in};
    if (const auto palette = args.option("--palette"))
        inputs.push_back(*palette);
    refuseOverwrite(out, inputs);
    const Picture picture = readIndexedPicture(in);

    zelassets::Palette palette = greyRamp();
    if (const auto palettePath = args.option("--palette"))
        palette = readAnyPaletteFile(*palettePath);
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
    const int frame = parseIntIn("--frame", args.option("--frame").value_or("0"), 0, 1 << 20);
    const Picture p = readPicture(in, frame);
    const Image& image = p.image;
    const std::int64_t engineBytes =
        static_cast<std::int64_t>(zelassets::BitmapHeaderBytes) + static_cast<std::int64_t>(image.pixelCount());
    std::cout << in << ": " << kindName(p.kind);
    if (image.indexed && p.kind != PictureKind::EngineBitmap)
        std::cout << ", indexed, " << counted(image.palette.size(), "colour");
    else if (!image.indexed)
        std::cout << ", true colour";
    std::cout << "\nwidth: " << image.width << "\nheight: " << image.height << "\norigin: " << p.originX << ','
              << p.originY << "\nfile bytes: " << p.fileBytes << "\nengine bitmap bytes: " << engineBytes
              << "\nBMP 3.0 bytes: " << bmp30FileBytes(image.width, image.height) << '\n';
}

}  // namespace

const Command BitmapImport{
    "bitmap import",
    "IN OUT.zbm [--palette-out PAL | --remap PAL | --make-palette PAL] [options]",
    "make an engine bitmap from a PNG, BMP, GIF, JPEG, TGA or PCX picture",
    "IN is recognised by its content. Its colours become palette indices in one\n"
    "of these ways, and zeltool says on stderr which it took:\n"
    "\n"
    "  indexed pictures (palette PNG, GIF, BMP of 1 to 8 bits, colour-mapped or\n"
    "  grey TGA, PCX of up to 8 bits) keep their indices; --palette-out PAL\n"
    "  writes the picture's own palette beside the bitmap.\n"
    "\n"
    "  --remap PAL (or --palette PAL) maps any picture onto the colours of PAL,\n"
    "  an engine, GIMP, JASC or PNG palette.\n"
    "\n"
    "  --make-palette PAL makes a new 256-entry palette for the picture (Wu's\n"
    "  quantiser) and writes it as a raw palette file with the bitmap. Entry 0\n"
    "  and the reserved entries keep the colours of the base palette.\n"
    "\n"
    "A true-colour picture needs --remap/--palette or --make-palette. Mapping\n"
    "takes the nearest colour, by default with Floyd-Steinberg dithering, and\n"
    "reports the PSNR of the result against the picture. Fully transparent\n"
    "pixels (alpha 0, a PNG tRNS entry, a GIF's transparent index) become index\n"
    "0 when mapped, and no visible pixel does.\n"
    "\n"
    "  --palette-out PAL   write an indexed picture's own palette (768 bytes)\n"
    "  --remap PAL         map the picture onto PAL's colours\n"
    "  --palette PAL       the same as --remap\n"
    "  --make-palette PAL  make a palette for the picture and write it to PAL\n"
    "  --reserve LIST      entries kept from the base palette besides 0:\n"
    "                      numbers and ranges A-B separated by commas, or none;\n"
    "                      default 8,24,31 (the colours of the library's boxes\n"
    "                      and of text)\n"
    "  --base PAL          colours of the reserved entries; default the\n"
    "                      standard palette\n"
    "  --dither fs|none    Floyd-Steinberg dithering (default) or none\n"
    "  --frame N           frame N of an animated GIF, counted from 0\n"
    "  --origin X,Y        the bitmap's origin point (hot spot), default 0,0\n"
    "\n"
    "Pictures of more than 67,108,864 pixels and files of more than 1 GiB are\n"
    "refused.\n",
    {"--palette", "--remap", "--palette-out", "--make-palette", "--reserve", "--base", "--dither", "--frame",
     "--origin"},
    2,
    2,
    runImport};

const Command BitmapExport{
    "bitmap export",
    "IN OUT.png [--palette PAL]",
    "write an engine bitmap or indexed picture as an indexed PNG",
    "IN is an engine bitmap or any indexed picture bitmap import reads. The PNG\n"
    "keeps the indices and carries a 256-entry palette: PAL when given, else\n"
    "the picture's own colour table, else a grey ramp (entry i is grey i).\n"
    "\n"
    "  --palette PAL  engine, GIMP, JASC or PNG palette for the PNG's colours\n",
    {"--palette"},
    2,
    2,
    runExport};

const Command BitmapInfo{
    "bitmap info",
    "IN [--frame N]",
    "describe an engine bitmap or a picture of another program",
    "Prints the kind of file, width, height and origin point, the file's size\n"
    "and the bytes the picture takes as an engine bitmap and as an 8-bit\n"
    "BMP 3.0 file. A file of no kind zeltool reads is named as such.\n"
    "\n"
    "  --frame N  describe frame N of an animated GIF, counted from 0\n",
    {"--frame"},
    1,
    1,
    runInfo};

}  // namespace zeltool
