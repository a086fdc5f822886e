// libpng reports errors by longjmp back to the setjmp of the function that
// drives it. Those functions keep all their state in a Reader or Writer owned
// by the caller and do no work that needs a destructor, not even building a
// message, so nothing is skipped or clobbered by the jump.

#include "tools/zeltool/png_io.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>

#include "tools/zeltool/errors.h"

namespace zeltool {

namespace {

constexpr std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

void onError(png_structp png, png_const_charp message)
{
    std::string* error = static_cast<std::string*>(png_get_error_ptr(png));
    try {
        *error = message;
    } catch (...) {
        // The jump happens anyway; the caller falls back to a general reason.
    }
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Problems found by the checks between libpng calls.
enum class Refusal { None, TooLarge, Layout };

struct Reader {
    const Bytes* data = nullptr;
    std::size_t at = 0;
    std::string error;  // libpng's message
    Refusal refusal = Refusal::None;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_bytep> rows;

    explicit Reader(const Bytes& bytes) : data(&bytes)
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, onError, onWarning);
        if (png)
            info = png_create_info_struct(png);
        if (!png || !info)
            throw FormatError{"out of memory for the PNG decoder"};
    }
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
};

void onRead(png_structp png, png_bytep out, png_size_t n)
{
    Reader* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (r->data->size() - r->at < n)
        png_error(png, "the file ends early");
    std::memcpy(out, r->data->data() + r->at, n);
    r->at += n;
}

void start(Reader& r)
{
    if (!isPng(*r.data))
        throw FormatError{"not a PNG file"};
    png_set_read_fn(r.png, &r, onRead);
}

// Requests the conversions that give one byte per index or four per pixel.
void requestLayout(png_structp png, png_infop info, Image& out)
{
    const int type = png_get_color_type(png, info);
    out.indexed = type == PNG_COLOR_TYPE_PALETTE;
    if (out.indexed) {
        png_set_packing(png);
    } else {
        png_set_scale_16(png);
        png_set_expand_gray_1_2_4_to_8(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS))
            png_set_tRNS_to_alpha(png);
        if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

void copyPalette(png_structp png, png_infop info, std::vector<Rgb>& out)
{
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) == 0)
        return;
    out.clear();
    for (int i = 0; i < count; ++i)
        out.push_back({entries[i].red, entries[i].green, entries[i].blue});
}

void copyPaletteAlpha(png_structp png, png_infop info, std::vector<std::uint8_t>& out)
{
    png_bytep alpha = nullptr;
    int count = 0;
    if (png_get_tRNS(png, info, &alpha, &count, nullptr) == 0 || !alpha)
        return;
    out.assign(alpha, alpha + count);
}

// False with r.error set when libpng or a size check fails.
bool readImage(Reader& r, Image& out)
{
    if (setjmp(png_jmpbuf(r.png)))
        return false;
    png_read_info(r.png, r.info);
    const png_uint_32 w = png_get_image_width(r.png, r.info);
    const png_uint_32 h = png_get_image_height(r.png, r.info);
    if (static_cast<long long>(w) * h > MaxImagePixels) {
        r.refusal = Refusal::TooLarge;
        return false;
    }
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    requestLayout(r.png, r.info, out);
    copyPalette(r.png, r.info, out.palette);
    if (out.indexed)
        copyPaletteAlpha(r.png, r.info, out.paletteAlpha);

    const std::size_t rowBytes = png_get_rowbytes(r.png, r.info);
    if (rowBytes != static_cast<std::size_t>(w) * (out.indexed ? 1 : 4)) {
        r.refusal = Refusal::Layout;
        return false;
    }
    out.pixels.resize(rowBytes * h);
    r.rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        r.rows[y] = out.pixels.data() + rowBytes * y;
    png_read_image(r.png, r.rows.data());
    png_read_end(r.png, nullptr);
    return true;
}

bool readPalette(Reader& r, std::vector<Rgb>& out)
{
    if (setjmp(png_jmpbuf(r.png)))
        return false;
    png_read_info(r.png, r.info);
    copyPalette(r.png, r.info, out);
    return true;
}

struct Writer {
    Bytes out;
    std::string error;
    png_structp png = nullptr;
    png_infop info = nullptr;

    Writer()
    {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, onError, onWarning);
        if (png)
            info = png_create_info_struct(png);
        if (!png || !info)
            throw FormatError{"out of memory for the PNG encoder"};
    }
    ~Writer() { png_destroy_write_struct(&png, &info); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
};

void onWrite(png_structp png, png_bytep data, png_size_t n)
{
    Writer* w = static_cast<Writer*>(png_get_io_ptr(png));
    try {
        w->out.insert(w->out.end(), data, data + n);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void onFlush(png_structp) {}

struct Layout {
    int width, height, colourType;
    const png_color* palette;  // 256 entries for a palette PNG, else null
    const std::uint8_t* pixels;
    std::size_t rowBytes;
};

bool writeImage(Writer& w, const Layout& l)
{
    if (setjmp(png_jmpbuf(w.png)))
        return false;
    png_set_write_fn(w.png, &w, onWrite, onFlush);
    png_set_IHDR(w.png, w.info, static_cast<png_uint_32>(l.width), static_cast<png_uint_32>(l.height), 8,
                 l.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (l.palette)
        png_set_PLTE(w.png, w.info, l.palette, 256);
    png_write_info(w.png, w.info);
    for (int y = 0; y < l.height; ++y)
        png_write_row(w.png, l.pixels + l.rowBytes * static_cast<std::size_t>(y));
    png_write_end(w.png, nullptr);
    return true;
}

Bytes encode(const Layout& l)
{
    if (l.width < 1 || l.height < 1)
        throw FormatError{"a PNG cannot hold a picture of " + std::to_string(l.width) + " x " +
                          std::to_string(l.height) + " pixels"};
    Writer w;
    if (!writeImage(w, l))
        throw FormatError{"cannot encode the PNG: " + (w.error.empty() ? std::string("libpng failed") : w.error)};
    return std::move(w.out);
}

}  // namespace

bool isPng(const Bytes& data)
{
    return data.size() >= sizeof Signature && std::memcmp(data.data(), Signature, sizeof Signature) == 0;
}

Image decodePng(const Bytes& data)
{
    Reader r(data);
    start(r);
    Image out;
    if (readImage(r, out))
        return out;
    if (r.refusal == Refusal::TooLarge)
        checkPictureSize(png_get_image_width(r.png, r.info), png_get_image_height(r.png, r.info), "PNG");
    if (r.refusal == Refusal::Layout)
        throw FormatError{"has a pixel layout this tool cannot read"};
    throw FormatError{r.error.empty() ? "is not a readable PNG" : "bad PNG: " + r.error};
}

std::vector<Rgb> decodePngPalette(const Bytes& data)
{
    Reader r(data);
    start(r);
    std::vector<Rgb> out;
    if (!readPalette(r, out))
        throw FormatError{r.error.empty() ? "is not a readable PNG" : "bad PNG: " + r.error};
    if (out.empty())
        throw FormatError{"has no palette (PLTE chunk)"};
    return out;
}

Bytes encodeIndexedPng(int width, int height, const std::uint8_t* indices, const zelassets::Palette& palette)
{
    png_color entries[256];
    for (int i = 0; i < 256; ++i)
        entries[i] = {palette[i].r, palette[i].g, palette[i].b};
    return encode({width, height, PNG_COLOR_TYPE_PALETTE, entries, indices, static_cast<std::size_t>(width)});
}

Bytes encodeRgbaPng(int width, int height, const std::uint8_t* rgba)
{
    return encode({width, height, PNG_COLOR_TYPE_RGB_ALPHA, nullptr, rgba, static_cast<std::size_t>(width) * 4});
}

}  // namespace zeltool
