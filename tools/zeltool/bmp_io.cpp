#include "tools/zeltool/bmp_io.h"

#include <string>

#include "tools/zeltool/errors.h"

namespace zeltool {

namespace {

constexpr std::size_t FileHeaderBytes = 14;
constexpr std::uint32_t CoreHeaderBytes = 12;  // OS/2 1.x: 16-bit sizes, 3-byte colours
constexpr std::uint32_t InfoHeaderBytes = 40;  // BMP 3.0

enum Compression : std::uint32_t { Uncompressed = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

std::uint32_t load(const Bytes& data, std::size_t at, int bytes)
{
    if (at > data.size() || data.size() - at < static_cast<std::size_t>(bytes))
        throw FormatError{"the BMP file ends early"};
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | data[at + static_cast<std::size_t>(i)];
    return v;
}

struct Header {
    std::uint32_t dataOffset = 0;
    std::uint32_t infoSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // positive; topDown says which row comes first
    bool topDown = false;
    int bitsPerPixel = 0;
    std::uint32_t compression = Uncompressed;
    std::uint32_t coloursUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    std::size_t tableAt = 0;
    int tableEntryBytes = 4;
};

void readCoreHeader(const Bytes& data, Header& h)
{
    h.width = load(data, 18, 2);
    h.height = load(data, 20, 2);
    if (load(data, 22, 2) != 1)
        throw FormatError{"BMP with more than one plane"};
    h.bitsPerPixel = static_cast<int>(load(data, 24, 2));
    h.tableEntryBytes = 3;
}

void readInfoHeader(const Bytes& data, Header& h)
{
    h.width = static_cast<std::int32_t>(load(data, 18, 4));
    const std::int64_t height = static_cast<std::int32_t>(load(data, 22, 4));
    h.topDown = height < 0;
    h.height = height < 0 ? -height : height;
    if (load(data, 26, 2) != 1)
        throw FormatError{"BMP with more than one plane"};
    h.bitsPerPixel = static_cast<int>(load(data, 28, 2));
    h.compression = load(data, 30, 4);
    h.coloursUsed = load(data, 46, 4);
    if (h.compression == BitFields || h.compression == AlphaBitFields) {
        // Masks follow a BMP 3.0 header, or are part of a later, longer one.
        const int count = h.compression == AlphaBitFields || h.infoSize >= 56 ? 4 : 3;
        for (int i = 0; i < count; ++i)
            h.masks[i] = load(data, 54 + 4 * static_cast<std::size_t>(i), 4);
        if (h.infoSize == InfoHeaderBytes)
            h.tableAt += static_cast<std::size_t>(count) * 4;
    }
}

void setDefaultMasks(Header& h)
{
    if (h.compression != Uncompressed)
        return;
    if (h.bitsPerPixel == 16) {
        h.masks[0] = 0x7c00, h.masks[1] = 0x03e0, h.masks[2] = 0x001f;
    } else if (h.bitsPerPixel == 24 || h.bitsPerPixel == 32) {
        h.masks[0] = 0xff0000, h.masks[1] = 0x00ff00, h.masks[2] = 0x0000ff;
    }
}

void checkSupported(const Header& h)
{
    const std::string bits = std::to_string(h.bitsPerPixel);
    if ((h.compression == Rle8 && h.bitsPerPixel != 8) || (h.compression == Rle4 && h.bitsPerPixel != 4))
        throw FormatError{"run-length compressed BMP of " + bits + " bits per pixel"};
    if ((h.compression == Rle8 || h.compression == Rle4) && h.topDown)
        throw FormatError{"run-length compressed BMP stored top-down"};
    const bool indexed = h.bitsPerPixel == 1 || h.bitsPerPixel == 4 || h.bitsPerPixel == 8;
    const bool colour = h.bitsPerPixel == 16 || h.bitsPerPixel == 24 || h.bitsPerPixel == 32;
    if (!indexed && !colour)
        throw FormatError{"BMP with " + bits + " bits per pixel"};
    const bool masked = h.compression == BitFields || h.compression == AlphaBitFields;
    const bool runLength = h.compression == Rle8 || h.compression == Rle4;
    if (h.compression != Uncompressed && !runLength && !(masked && (h.bitsPerPixel == 16 || h.bitsPerPixel == 32)))
        throw FormatError{"BMP compression method " + std::to_string(h.compression) + " at " + bits +
                          " bits per pixel is not supported"};
    if (masked && (h.masks[0] == 0 || h.masks[1] == 0 || h.masks[2] == 0))
        throw FormatError{"BMP colour masks are empty"};
    checkPictureSize(h.width, h.height, "BMP");
}

Header readHeader(const Bytes& data)
{
    if (!isBmp(data))
        throw FormatError{"not a BMP file"};
    Header h;
    h.dataOffset = load(data, 10, 4);
    h.infoSize = load(data, 14, 4);
    h.tableAt = FileHeaderBytes + h.infoSize;
    if (h.infoSize == CoreHeaderBytes)
        readCoreHeader(data, h);
    else if (h.infoSize >= InfoHeaderBytes && h.infoSize <= 1024)
        readInfoHeader(data, h);
    else
        throw FormatError{"BMP with an unknown header of " + std::to_string(h.infoSize) + " bytes"};
    if (h.width <= 0 || h.height == 0)
        throw FormatError{"BMP of " + std::to_string(h.width) + " x " + std::to_string(h.height) + " pixels"};
    setDefaultMasks(h);
    checkSupported(h);
    return h;
}

std::vector<Rgb> readColourTable(const Bytes& data, const Header& h)
{
    std::size_t count = std::size_t(1) << h.bitsPerPixel;
    if (h.coloursUsed != 0 && h.coloursUsed < count)
        count = h.coloursUsed;
    if (h.dataOffset > h.tableAt)
        count = std::min(count, (h.dataOffset - h.tableAt) / static_cast<std::size_t>(h.tableEntryBytes));
    std::vector<Rgb> table;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = h.tableAt + i * static_cast<std::size_t>(h.tableEntryBytes);
        const std::uint32_t bgr = load(data, at, 3);
        table.push_back({static_cast<std::uint8_t>(bgr >> 16), static_cast<std::uint8_t>(bgr >> 8),
                         static_cast<std::uint8_t>(bgr)});
    }
    return table;
}

// Where the rows start; checks that all of them are in the file when they
// have a fixed stride (0 for run-length coded rows).
std::size_t rowsStart(const Bytes& data, const Header& h, std::size_t tableBytes, std::size_t stride)
{
    std::size_t at = h.dataOffset;
    if (at < h.tableAt + tableBytes || at > data.size())
        throw FormatError{"BMP pixel data offset " + std::to_string(at) + " lies outside the file"};
    if (stride > 0 && (data.size() - at) / stride < static_cast<std::size_t>(h.height))
        throw FormatError{"the BMP file ends before its last pixel row"};
    return at;
}

// Scales the bits of v under mask to 0..255.
std::uint8_t component(std::uint32_t v, std::uint32_t mask)
{
    if (mask == 0)
        return 255;
    int shift = 0;
    while (!(mask >> shift & 1))
        ++shift;
    const std::uint64_t max = mask >> shift;
    const std::uint64_t value = (v & mask) >> shift;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
}

void readIndexedRow(const std::uint8_t* row, const Header& h, std::uint8_t* out)
{
    const int bpp = h.bitsPerPixel;
    const int perByte = 8 / bpp;
    const std::uint8_t valueMask = static_cast<std::uint8_t>((1 << bpp) - 1);
    for (std::int64_t x = 0; x < h.width; ++x) {
        const std::uint8_t byte = row[x / perByte];
        const int shift = 8 - bpp * (static_cast<int>(x % perByte) + 1);
        out[x] = static_cast<std::uint8_t>(byte >> shift & valueMask);
    }
}

void readColourRow(const std::uint8_t* row, const Header& h, std::uint8_t* out)
{
    const int bytes = h.bitsPerPixel / 8;
    for (std::int64_t x = 0; x < h.width; ++x) {
        std::uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = v << 8 | row[x * bytes + i];
        for (int c = 0; c < 4; ++c)
            out[4 * x + c] = component(v, h.masks[c]);
    }
}

// Run-length coded rows, bottom row first: a pair (n, v) repeats v (RLE8) or
// its two nibbles in turn (RLE4) n times; (0, 0) ends a row, (0, 1) the
// picture, (0, 2, dx, dy) moves the pen, (0, n >= 3) is followed by n literal
// pixels padded to an even byte count. Pixels never written are 0; runs past
// the right edge are cut off there.
class RunLengthDecoder {
public:
    RunLengthDecoder(const Bytes& data, std::size_t at, const Header& h, Image& image)
        : data_(data), at_(at), nibbles_(h.bitsPerPixel == 4), image_(image)
    {
    }

    void decode()
    {
        while (y_ < image_.height) {
            const std::uint8_t count = next();
            const std::uint8_t value = next();
            if (count > 0)
                run(count, value);
            else if (value == 0)
                x_ = 0, ++y_;
            else if (value == 1)
                return;
            else if (value == 2)
                x_ += next(), y_ += next();
            else
                literal(value);
        }
    }

private:
    const Bytes& data_;
    std::size_t at_;
    bool nibbles_;
    Image& image_;
    std::int64_t x_ = 0, y_ = 0;  // y counts rows from the bottom

    std::uint8_t next()
    {
        if (at_ >= data_.size())
            throw FormatError{"the BMP file ends inside its run-length coded pixels"};
        return data_[at_++];
    }

    void put(std::uint8_t index)
    {
        if (x_ < image_.width && y_ < image_.height)
            image_.pixels[static_cast<std::size_t>((image_.height - 1 - y_) * image_.width + x_)] = index;
        ++x_;
    }

    // The i-th pixel of a run or literal byte v.
    std::uint8_t pixelOf(std::uint8_t v, int i) const
    {
        return nibbles_ ? static_cast<std::uint8_t>(i % 2 == 0 ? v >> 4 : v & 15) : v;
    }

    void run(int count, std::uint8_t value)
    {
        for (int i = 0; i < count; ++i)
            put(pixelOf(value, i));
    }

    void literal(int count)
    {
        const int bytes = nibbles_ ? (count + 1) / 2 : count;
        std::uint8_t v = 0;
        for (int i = 0; i < count; ++i) {
            if (!nibbles_ || i % 2 == 0)
                v = next();
            put(pixelOf(v, i));
        }
        if (bytes % 2)
            next();
    }
};

// Files that declare an alpha mask but leave every alpha value 0 mean opaque.
void opaqueWhenAlphaUnused(Image& image)
{
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        if (image.pixels[i] != 0)
            return;
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        image.pixels[i] = 255;
}

}  // namespace

bool isBmp(const Bytes& data)
{
    return data.size() >= 2 && data[0] == 'B' && data[1] == 'M';
}

Image decodeBmp(const Bytes& data)
{
    const Header h = readHeader(data);
    Image image;
    image.width = static_cast<int>(h.width);
    image.height = static_cast<int>(h.height);
    image.indexed = h.bitsPerPixel <= 8;
    if (image.indexed)
        image.palette = readColourTable(data, h);
    const std::size_t tableBytes = image.palette.size() * static_cast<std::size_t>(h.tableEntryBytes);
    const std::size_t outRow = static_cast<std::size_t>(h.width) * (image.indexed ? 1 : 4);
    image.pixels.resize(outRow * static_cast<std::size_t>(h.height));
    if (h.compression == Rle8 || h.compression == Rle4) {
        RunLengthDecoder(data, rowsStart(data, h, tableBytes, 0), h, image).decode();
        return image;
    }

    const std::size_t stride = static_cast<std::size_t>((h.width * h.bitsPerPixel + 31) / 32 * 4);
    const std::size_t start = rowsStart(data, h, tableBytes, stride);
    for (std::int64_t r = 0; r < h.height; ++r) {
        const std::uint8_t* row = data.data() + start + stride * static_cast<std::size_t>(r);
        const std::int64_t y = h.topDown ? r : h.height - 1 - r;
        std::uint8_t* out = image.pixels.data() + outRow * static_cast<std::size_t>(y);
        if (image.indexed)
            readIndexedRow(row, h, out);
        else
            readColourRow(row, h, out);
    }
    if (!image.indexed)
        opaqueWhenAlphaUnused(image);
    return image;
}

std::int64_t bmp30FileBytes(int width, int height)
{
    const std::int64_t stride = (static_cast<std::int64_t>(width) + 3) / 4 * 4;
    return static_cast<std::int64_t>(FileHeaderBytes + InfoHeaderBytes + 256 * 4) + stride * height;
}

}  // namespace zeltool
