// Files of the test tree, and indexed PNGs read back for checking.
#pragma once

#include <string>
#include <vector>

namespace zeltest {

// Path of a file in the source tree's tests/ folder, e.g. "reliability/trace.txt".
std::string sourcePath(const std::string& relative);

// An indexed PNG as read back: its pixels and its palette in 8-bit RGB.
struct IndexedPng {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    std::vector<unsigned char> rgb;  // 3 bytes a palette entry
};
bool readIndexedPng(const std::string& path, IndexedPng& out);

}  // namespace zeltest
