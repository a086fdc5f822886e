// Bitmap, BMP and font files in the library's formats, built in memory from
// pictures the tests know pixel by pixel.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "video/file.h"

namespace zeltest {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t originX = 0;
    int32_t originY = 0;
    std::string pixels;  // width x height bytes, rows top first
};

// A picture of random pixels; about one pixel in zeroOneIn is 0.
Picture randomPicture(std::mt19937& rng, int32_t width, int32_t height, int zeroOneIn = 4);

// The engine format: width, height, origin, a reserved word, the pixels.
std::string engineBitmapFile(const Picture& p);

// Windows BMP 3.0, 8 bits per pixel, colour table entry i = (blue, green,
// red, 0) of colours[3i + 2], [3i + 1], [3i]; rows bottom first, each padded
// to a multiple of 4 bytes.
std::string bmpFile(const Picture& p, const std::string& colours);
// Offset just past the last pixel row's data (the top row), before its padding.
size_t bmpPixelsEnd(const Picture& p);

// A font: glyph k of the list is glyph number k + 1, mapped from its code.
using FontGlyph = std::pair<unsigned char, Picture>;
std::string fontFile(const std::vector<FontGlyph>& glyphs);

// A disk file holding the given bytes, open for reading; the file is closed
// and removed with the object. BytesFile::create gives one behind a handle,
// as the file system hands out its files; the caller destroys it.
class BytesFile : public ZelDiskFile {
public:
    explicit BytesFile(const std::string& bytes);
    ~BytesFile() override;
    static HClass<ZelFile> create(const std::string& bytes);

private:
    std::string path_;
};

// Loads font file bytes into a free slot of the font table through a disk
// file, as a program loads a font; the slot, or -1.
int loadFont(const std::string& bytes);

}  // namespace zeltest
