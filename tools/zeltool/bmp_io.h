// Windows BMP files: reading the kinds that image editors write (1, 4 and 8
// bits with a colour table, also run-length coded; 16, 24 and 32 bits of
// colour), and the size of a picture as the 8-bit BMP 3.0 file the library
// reads.
#pragma once

#include <cstdint>

#include "tools/assets/asset_files.h"
#include "tools/zeltool/image.h"

namespace zeltool {

using zelassets::Bytes;

bool isBmp(const Bytes& data);

// Indexed for 1, 4 and 8 bits per pixel, RGBA otherwise; rows top first
// whichever way the file stores them. FormatError for other compression
// methods and depths, and for anything cut short.
Image decodeBmp(const Bytes& data);

// Bytes of an 8-bit uncompressed BMP 3.0 file: headers, a 256-entry colour
// table and rows padded to four bytes.
std::int64_t bmp30FileBytes(int width, int height);

}  // namespace zeltool
