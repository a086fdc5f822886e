// Golden images: a bitmap compared with a checked-in picture file, written as
// rows of two hex digits per pixel so that a failure names the first row that
// differs. With ZEL_UPDATE_GOLDEN=1 the file is (re)written instead, together
// with a PNG beside it (same name, .png) through the given palette, to be
// looked at before the new golden is committed.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"

namespace zeltest {

// Path of a file in the source tree's tests/ folder, e.g. "blit/golden/scene.txt".
std::string sourcePath(const std::string& relative);

// palette: 768 bytes of 6-bit RGB (0-63) for the PNG; null draws grey levels.
::testing::AssertionResult matchesGolden(const Bitmap& b, const std::string& relative,
                                         const unsigned char* palette = nullptr);

// The project's standard data file (standard.pal, standard.fnt, ...) as built
// into the build tree; "" when it is not there.
std::string standardDataFile(const std::string& name);

// An indexed PNG as read back: its pixels and its palette in 8-bit RGB.
struct IndexedPng {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    std::vector<unsigned char> rgb;  // 3 bytes a palette entry
};
bool readIndexedPng(const std::string& path, IndexedPng& out);

// Writes an indexed PNG of the bitmap; palette as above.
bool writePng(const Bitmap& b, const std::string& path, const unsigned char* palette);

}  // namespace zeltest
