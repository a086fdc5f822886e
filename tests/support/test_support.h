// Helpers shared by the test programs: a Screen bitmap built the way the
// driver set-up builds it, pictures written as rows of characters, and a
// live-block count for leak checks.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "platform/cpu_features.h"
#include "video/screen.h"

// Test names and failure messages show a CPU path by its name.
void PrintTo(CpuPath path, std::ostream* os);

namespace zeltest {

// Builds a pinned Screen bitmap of w x h with the full-screen clip region, the
// row offset table and the polygon work buffers, and points the exported
// screen variables at them; undone on destruction.
class ScreenSetup {
public:
    ScreenSetup(int w, int h, unsigned char fill = 0);
    ~ScreenSetup();
    ScreenSetup(const ScreenSetup&) = delete;
    ScreenSetup& operator=(const ScreenSetup&) = delete;

    ZelClipRgn& region() const { return *bitmap().clipRgn(); }  // top region of the Screen
    // Replaces the top region's rectangle and origin.
    void setRegion(int left, int top, int right, int bottom, int originX = 0, int originY = 0) const;
    Bitmap& bitmap() const { return *ZelBitmap::Screen.get(); }
};

// The bitmap's pixels as rows of characters: '.' for 0, '1'-'9' and 'a'-'z'
// for 1-35, '#' for anything larger. Rows end in '\n'.
std::string picture(const Bitmap& b);
// Pixels from a picture in the same notation ('#' stands for 255).
void paint(Bitmap& b, const std::string& rows);

size_t liveBlockCount();

const char* cpuPathName(CpuPath path);

// Under the leak checker: allocations from here on are not reported (for a
// test process that ends with blocks on purpose).
void ignoreLeaksFromHere();

// A bitmap made for a test, painted from a picture when one is given; its
// attachments and block are released at the end of the test.
struct TestBitmap {
    HClass<ZelBitmap> h;
    TestBitmap() = default;
    TestBitmap(int w, int hgt, const std::string& rows = {});
    ~TestBitmap();
    TestBitmap(const TestBitmap&) = delete;
    TestBitmap& operator=(const TestBitmap&) = delete;
    ZelBitmap* operator->() const { return h.get(); }
};

// All pixels of a bitmap, row by row.
std::vector<unsigned char> pixels(const Bitmap& b);

// Appends v as four bytes, least significant first, as the data files store it.
void put32(std::string& s, uint32_t v);

// Writes bytes to a file, replacing it; the directory must exist.
void writeFile(const std::string& path, const void* data, size_t size);
template <class Bytes>
void writeFile(const std::string& path, const Bytes& bytes)
{
    writeFile(path, bytes.data(), bytes.size());
}

// The number of file descriptors this process holds open.
int openDescriptors();

// Globals saved byte for byte on construction and put back on destruction.
class Restore {
public:
    template <class... T>
    explicit Restore(T&... vars)
    {
        static_assert((std::is_trivially_copyable_v<T> && ...));
        (save(&vars, sizeof vars), ...);
    }
    ~Restore();
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    void save(void* at, size_t size);
    std::vector<std::pair<void*, std::string>> saved;
};

// A fresh directory under /tmp, removed with its contents at the end.
struct TempDir {
    std::string path;
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};

}  // namespace zeltest
