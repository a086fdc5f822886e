#include "tools/zeltool/palette_formats.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "tools/zeltool/bmp_io.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/files.h"
#include "tools/zeltool/image.h"
#include "tools/zeltool/pictures.h"
#include "tools/zeltool/png_io.h"

namespace zeltool {

namespace {

constexpr const char* GimpMagic = "GIMP Palette";
constexpr const char* JascMagic = "JASC-PAL";

bool startsWith(const Bytes& data, const char* text)
{
    const std::size_t n = std::strlen(text);
    return data.size() >= n && std::memcmp(data.data(), text, n) == 0;
}

// What another kind of file is called, or null when it looks like none.
const char* otherKind(const Bytes& data)
{
    if (isPng(data))
        return "a PNG file";
    if (startsWith(data, GimpMagic))
        return "a GIMP palette";
    if (startsWith(data, JascMagic))
        return "a JASC palette";
    if (startsWith(data, "RIFF"))
        return "a RIFF file";
    if (startsWith(data, "GIF8"))
        return "a GIF file";
    if (isBmp(data))
        return "a BMP file";
    return nullptr;
}

// Lines of a text without their line ends (LF or CR LF).
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

FormatError atLine(std::size_t index, const std::string& problem)
{
    return FormatError{"line " + std::to_string(index + 1) + ": " + problem};
}

// Three numbers 0 to 255 at the start of a line; more text may follow when
// allowRest (a GIMP colour name).
Rgb parseColour(const std::string& line, std::size_t index, bool allowRest)
{
    std::istringstream in(line);
    int c[3];
    for (int& v : c)
        if (!(in >> v) || v < 0 || v > 255)
            throw atLine(index, "expected three numbers from 0 to 255 (red green blue)");
    std::string rest;
    if (!allowRest && in >> rest)
        throw atLine(index, "unexpected '" + rest + "' after the colour");
    return {static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]), static_cast<std::uint8_t>(c[2])};
}

void checkCount(std::size_t count)
{
    if (count > 256)
        throw FormatError{"has " + std::to_string(count) + " colours; a palette holds at most 256"};
}

void appendLine(std::string& out, const std::string& line, const char* end)
{
    out += line;
    out += end;
}

}  // namespace

Palette decodeRawPalette(const Bytes& data)
{
    if (const char* kind = otherKind(data))
        throw FormatError{std::string("is ") + kind + ", not a raw 768-byte palette (see zeltool palette import)"};
    if (data.size() < zelassets::PaletteFileBytes)
        throw FormatError{"is " + std::to_string(data.size()) + " bytes; a palette file holds 768"};
    Palette palette;
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = {data[3 * i], data[3 * i + 1], data[3 * i + 2]};
    return palette;
}

Palette readPaletteFile(const std::string& path)
{
    const Bytes data = readFile(path);
    return aboutFile(path, [&] { return decodeRawPalette(data); });
}

Palette readAnyPaletteFile(const std::string& path)
{
    const Bytes data = readFile(path);
    return aboutFile(path, [&] { return decodeAnyPalette(data); });
}

// The colour table of an indexed picture of another program.
static std::vector<Rgb> pictureColours(const Bytes& data)
{
    const Image image = decodePicture(data).image;
    if (!image.indexed)
        throw FormatError{"is a true-colour picture without a palette (bitmap import --make-palette makes one)"};
    return image.palette;
}

Palette decodeAnyPalette(const Bytes& data)
{
    const std::string text(data.begin(), data.end());
    std::vector<Rgb> colours;
    if (isPng(data))
        colours = decodePngPalette(data);
    else if (startsWith(data, GimpMagic))
        colours = parseGimpPalette(text);
    else if (startsWith(data, JascMagic))
        colours = parseJascPalette(text);
    else if (isForeignPicture(data))
        colours = pictureColours(data);
    else if (otherKind(data))
        throw FormatError{std::string("is ") + otherKind(data) + ", not a palette this tool reads"};
    else if (data.size() != zelassets::PaletteFileBytes)
        throw FormatError{"not a PNG, GIMP or JASC palette, nor a raw palette of 768 bytes"};
    else
        return decodeRawPalette(data);
    checkCount(colours.size());
    return fullPalette(colours);
}

std::vector<Rgb> parseGimpPalette(const std::string& text)
{
    const std::vector<std::string> lines = linesOf(text);
    if (lines.empty() || lines[0].rfind(GimpMagic, 0) != 0)
        throw FormatError{"not a GIMP palette: the first line is not 'GIMP Palette'"};
    std::vector<Rgb> colours;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#' || line.rfind("Name:", 0) == 0 ||
            line.rfind("Columns:", 0) == 0)
            continue;
        colours.push_back(parseColour(line, i, true));
    }
    checkCount(colours.size());
    return colours;
}

std::vector<Rgb> parseJascPalette(const std::string& text)
{
    const std::vector<std::string> lines = linesOf(text);
    if (lines.size() < 3 || lines[0] != JascMagic)
        throw FormatError{"not a JASC palette: the first line is not 'JASC-PAL'"};
    if (lines[1] != "0100")
        throw atLine(1, "unknown JASC palette version '" + lines[1] + "'");
    std::istringstream countText(lines[2]);
    int count = -1;
    if (!(countText >> count) || count < 1 || count > 256)
        throw atLine(2, "expected the number of colours, 1 to 256");
    std::vector<Rgb> colours;
    std::size_t i = 3;
    for (; i < lines.size() && colours.size() < static_cast<std::size_t>(count); ++i)
        colours.push_back(parseColour(lines[i], i, false));
    if (colours.size() < static_cast<std::size_t>(count))
        throw FormatError{"lists " + std::to_string(colours.size()) + " colours but says it has " +
                          std::to_string(count)};
    for (; i < lines.size(); ++i)
        if (lines[i].find_first_not_of(" \t") != std::string::npos)
            throw atLine(i, "text after the last colour");
    return colours;
}

Bytes formatGimpPalette(const Palette& palette, const std::string& name)
{
    std::string out;
    appendLine(out, GimpMagic, "\n");
    appendLine(out, "Name: " + name, "\n");
    appendLine(out, "Columns: 16", "\n");
    appendLine(out, "#", "\n");
    char line[64];
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const Rgb c = palette[i];
        std::snprintf(line, sizeof line, "%3d %3d %3d\tIndex %zu", c.r, c.g, c.b, i);
        appendLine(out, line, "\n");
    }
    return Bytes(out.begin(), out.end());
}

Bytes formatJascPalette(const Palette& palette)
{
    std::string out;
    appendLine(out, JascMagic, "\r\n");
    appendLine(out, "0100", "\r\n");
    appendLine(out, std::to_string(palette.size()), "\r\n");
    for (const Rgb c : palette)
        appendLine(out, std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b), "\r\n");
    return Bytes(out.begin(), out.end());
}

}  // namespace zeltool
