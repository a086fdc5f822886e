#include "tools/zeltool/jpeg_io.h"

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include "tools/zeltool/errors.h"

namespace zeltool {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to decode() with the message kept here. Warnings (damaged
// data that libjpeg would patch over) are kept and end the decoding too.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool warned;
};

void onError(j_common_ptr info)
{
    ErrorManager* e = reinterpret_cast<ErrorManager*>(info->err);
    e->base.format_message(info, e->message);
    std::longjmp(e->jump, 1);
}

void onMessage(j_common_ptr info, int level)
{
    ErrorManager* e = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0 && !e->warned) {
        e->base.format_message(info, e->message);
        e->warned = true;
    }
}

void cmykToRgba(std::uint8_t* p, std::size_t count, bool inverted)
{
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        int c = p[0], m = p[1], y = p[2], k = p[3];
        if (!inverted)
            c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        // Adobe files store the inks inverted: 255 is no ink.
        p[0] = static_cast<std::uint8_t>(c * k / 255);
        p[1] = static_cast<std::uint8_t>(m * k / 255);
        p[2] = static_cast<std::uint8_t>(y * k / 255);
        p[3] = 255;
    }
}

// Reads the rows into out, which is already sized; the caller owns every
// object with a destructor, so the jump out of libjpeg skips none.
[[gnu::noinline]] bool readRows(jpeg_decompress_struct* info, Image* out)
{
    const std::size_t stride = 4 * static_cast<std::size_t>(out->width);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = out->pixels.data() + stride * info->output_scanline;
        if (jpeg_read_scanlines(info, &row, 1) != 1)
            return false;
    }
    return true;
}

enum class Step { Failed, TooLarge, Done };

[[gnu::noinline]] Step decode(jpeg_decompress_struct* info, ErrorManager* errors, const zelassets::Bytes* data,
                              Image* out)
{
    if (setjmp(errors->jump))
        return Step::Failed;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data->data(), static_cast<unsigned long>(data->size()));
    jpeg_read_header(info, TRUE);
    out->width = static_cast<int>(info->image_width);
    out->height = static_cast<int>(info->image_height);
    if (static_cast<long long>(info->image_width) * info->image_height > MaxImagePixels)
        return Step::TooLarge;
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(info);
    out->pixels.resize(4 * out->pixelCount());
    if (!readRows(info, out) || errors->warned)
        return Step::Failed;
    if (cmyk)
        cmykToRgba(out->pixels.data(), out->pixelCount(), info->saw_Adobe_marker);
    jpeg_finish_decompress(info);
    return errors->warned ? Step::Failed : Step::Done;
}

}  // namespace

bool isJpeg(const zelassets::Bytes& data)
{
    return data.size() >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff;
}

Image decodeJpeg(const zelassets::Bytes& data)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    Image out;
    Step step = Step::Failed;
    try {
        step = decode(&info, &errors, &data, &out);
    } catch (...) {  // out of memory for the pixels
        jpeg_destroy_decompress(&info);
        throw;
    }
    jpeg_destroy_decompress(&info);
    if (step == Step::TooLarge)
        checkPictureSize(out.width, out.height, "JPEG");
    if (step == Step::Failed)
        throw FormatError{std::string("bad JPEG: ") + errors.message};
    return out;
}

}  // namespace zeltool
