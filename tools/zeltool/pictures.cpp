#include "tools/zeltool/pictures.h"

#include "tools/zeltool/bmp_io.h"
#include "tools/zeltool/engine_formats.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/files.h"
#include "tools/zeltool/gif_io.h"
#include "tools/zeltool/jpeg_io.h"
#include "tools/zeltool/png_io.h"
#include "tools/zeltool/tga_pcx_io.h"

namespace zeltool {

namespace {

constexpr const char* NotAPicture =
    "not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)";

// The foreign format of data, or EngineBitmap when none matches.
PictureKind foreignKind(const Bytes& data)
{
    if (isPng(data))
        return PictureKind::Png;
    if (isGif(data))
        return PictureKind::Gif;
    if (isJpeg(data))
        return PictureKind::Jpeg;
    if (isBmp(data))
        return PictureKind::Bmp;
    if (isPcx(data))
        return PictureKind::Pcx;
    if (isTga(data))
        return PictureKind::Tga;
    return PictureKind::EngineBitmap;
}

Image decodeForeign(PictureKind kind, const Bytes& data, int frame)
{
    switch (kind) {
    case PictureKind::Png:
        return decodePng(data);
    case PictureKind::Gif:
        return decodeGif(data, frame);
    case PictureKind::Jpeg:
        return decodeJpeg(data);
    case PictureKind::Bmp:
        return decodeBmp(data);
    case PictureKind::Pcx:
        return decodePcx(data);
    case PictureKind::Tga:
        return decodeTga(data);
    case PictureKind::EngineBitmap:
        break;
    }
    throw FormatError{NotAPicture};
}

// Whether the first 20 bytes could be an engine bitmap's header: sides that
// fit the engine's limits and the reserved word zero. Only then is a
// mismatch with the file's size worth reporting as such.
bool looksLikeEngineBitmap(const Bytes& data)
{
    if (data.size() < zelassets::BitmapHeaderBytes)
        return false;
    const auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16) |
               static_cast<std::uint32_t>(data[at + 3]) << 24;
    };
    return word(0) <= 0xffff && word(4) <= 0xffff && word(16) == 0;
}

}  // namespace

Picture decodePicture(const Bytes& data, int frame)
{
    Picture p;
    p.fileBytes = data.size();
    p.kind = foreignKind(data);
    // A TGA header is weak evidence: a file that is exactly an engine bitmap
    // is one.
    const bool maybeEngine = p.kind == PictureKind::EngineBitmap || p.kind == PictureKind::Tga;
    if (maybeEngine && looksLikeEngineBitmap(data)) {
        try {
            AssetBitmap b = decodeBitmapFile(data);
            p.kind = PictureKind::EngineBitmap;
            p.image.width = b.width;
            p.image.height = b.height;
            p.image.indexed = true;
            p.image.pixels = std::move(b.pixels);
            p.originX = b.originX;
            p.originY = b.originY;
            return p;
        } catch (const FormatError&) {
            if (p.kind == PictureKind::EngineBitmap)
                throw;
        }
    }
    p.image = decodeForeign(p.kind, data, frame);
    return p;
}

Picture readPicture(const std::string& path, int frame)
{
    const Bytes data = readFile(path);
    return aboutFile(path, [&] { return decodePicture(data, frame); });
}

Picture readIndexedPicture(const std::string& path)
{
    Picture p = readPicture(path);
    if (!p.image.indexed)
        throw FileError{path, "is a true-colour picture; make it an engine bitmap with zeltool bitmap import first"};
    return p;
}

Image readForeignPicture(const std::string& path, int frame)
{
    const Bytes data = readFile(path);
    return aboutFile(path, [&] {
        const PictureKind kind = foreignKind(data);
        if (kind == PictureKind::EngineBitmap && looksLikeEngineBitmap(data))
            throw FormatError{"looks like an engine bitmap, not a picture of another program"};
        return decodeForeign(kind, data, frame);
    });
}

bool isForeignPicture(const Bytes& data)
{
    return foreignKind(data) != PictureKind::EngineBitmap;
}

const char* kindName(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Png:
        return "PNG";
    case PictureKind::Bmp:
        return "BMP";
    case PictureKind::Gif:
        return "GIF";
    case PictureKind::Jpeg:
        return "JPEG";
    case PictureKind::Tga:
        return "TGA";
    case PictureKind::Pcx:
        return "PCX";
    case PictureKind::EngineBitmap:
        break;
    }
    return "engine bitmap";
}

}  // namespace zeltool
