// A picture from any file zeltool reads pictures from, recognised by its
// content: PNG, GIF, JPEG, BMP and PCX by their signatures, an engine bitmap
// by a header that fits the file's size, TGA by a header that holds
// together.
#pragma once

#include <string>

#include "tools/assets/asset_files.h"
#include "tools/zeltool/image.h"

namespace zeltool {

enum class PictureKind { EngineBitmap, Bmp, Png, Gif, Jpeg, Tga, Pcx };

struct Picture {
    PictureKind kind = PictureKind::EngineBitmap;
    Image image;
    int originX = 0;
    int originY = 0;
    std::size_t fileBytes = 0;
};

// The picture in data; frame chooses the frame of a GIF. FormatError on any
// problem, naming the format it found or saying that it found none.
Picture decodePicture(const zelassets::Bytes& data, int frame = 0);

// Reads and decodes path; FileError naming it on any problem.
Picture readPicture(const std::string& path, int frame = 0);

// Like readPicture, and FileError unless the picture holds palette indices.
Picture readIndexedPicture(const std::string& path);

// A picture of another program, any format above but the engine bitmap (the
// inputs of import and of grid fonts).
Image readForeignPicture(const std::string& path, int frame = 0);

// Whether data starts like a picture of another program.
bool isForeignPicture(const zelassets::Bytes& data);

const char* kindName(PictureKind kind);

}  // namespace zeltool
