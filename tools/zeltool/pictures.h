// A picture from any file zeltool reads pictures from, recognised by its
// content: PNG and BMP by their signatures, anything else as an engine bitmap.
#pragma once

#include <string>

#include "tools/zeltool/image.h"

namespace zeltool {

enum class PictureKind { EngineBitmap, Bmp, Png };

struct Picture {
    PictureKind kind = PictureKind::EngineBitmap;
    Image image;
    int originX = 0;
    int originY = 0;
    std::size_t fileBytes = 0;
};

// Reads and decodes path; FileError naming it on any problem.
Picture readPicture(const std::string& path);

// Like readPicture, and FileError unless the picture holds palette indices.
Picture readIndexedPicture(const std::string& path);

// A PNG or BMP only (the inputs of import and of grid fonts).
Image readPngOrBmp(const std::string& path);

const char* kindName(PictureKind kind);

}  // namespace zeltool
