#include "tools/zeltool/pictures.h"

#include "tools/zeltool/bmp_io.h"
#include "tools/zeltool/engine_formats.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/files.h"
#include "tools/zeltool/png_io.h"

namespace zeltool {

namespace {

Picture decodePicture(const Bytes& data)
{
    Picture p;
    p.fileBytes = data.size();
    if (isPng(data)) {
        p.kind = PictureKind::Png;
        p.image = decodePng(data);
    } else if (isBmp(data)) {
        p.kind = PictureKind::Bmp;
        p.image = decodeBmp(data);
    } else {
        AssetBitmap b = decodeBitmapFile(data);
        p.image.width = b.width;
        p.image.height = b.height;
        p.image.indexed = true;
        p.image.pixels = std::move(b.pixels);
        p.originX = b.originX;
        p.originY = b.originY;
    }
    return p;
}

}  // namespace

Picture readPicture(const std::string& path)
{
    const Bytes data = readFile(path);
    return aboutFile(path, [&] { return decodePicture(data); });
}

Picture readIndexedPicture(const std::string& path)
{
    Picture p = readPicture(path);
    if (!p.image.indexed)
        throw FileError{path, "is a true-colour picture; make it an engine bitmap with zeltool bitmap import first"};
    return p;
}

Image readPngOrBmp(const std::string& path)
{
    const Bytes data = readFile(path);
    return aboutFile(path, [&] {
        if (isPng(data))
            return decodePng(data);
        if (isBmp(data))
            return decodeBmp(data);
        throw FormatError{"not a PNG or BMP file"};
    });
}

const char* kindName(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Png:
        return "PNG";
    case PictureKind::Bmp:
        return "BMP";
    case PictureKind::EngineBitmap:
        break;
    }
    return "engine bitmap";
}

}  // namespace zeltool
