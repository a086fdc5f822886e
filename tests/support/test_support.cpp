#include "test_support.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdlib.h>
#include <stdexcept>

#include "draw/poly.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace zeltest {

ScreenSetup::ScreenSetup(int w, int h, unsigned char fill)
{
    initGraphicsData();
    ZelBitmap::Screen = ZelBitmap::Create(w, h, ZelBitmap::Screen);
    if (ZelBitmap::Screen.isNull())
        throw std::runtime_error("cannot create the test screen");
    ZelMem::ClrMovable(ZelBitmap::Screen);
    ZelBitmap::pushClipRgn(ZelBitmap::Screen, ZelClipRgn{0, 0, w, h, 0, 0, {}});
    scrWidth = w;
    scrHeight = h;
    videoMemory = ZelBitmap::Screen->pixels();
    ZelVideo::lineOff = static_cast<int*>(ZelMEMTmp::Malloc(static_cast<unsigned>(h + 1) * sizeof(int)));
    for (int y = 0; y <= h; ++y)
        ZelVideo::lineOff[y] = y * w;
    clrScreen(fill);
}

ScreenSetup::~ScreenSetup()
{
    if (Bitmap* b = ZelBitmap::Screen.get())
        b->releaseAttachment();
    ZelBitmap::Screen.release();
    scrWidth = scrHeight = 0;
    videoMemory = nullptr;
    ZelMEMTmp::Free(ZelVideo::lineOff);
    ZelVideo::lineOff = nullptr;
    polyBuffer.release();
    gouraudBuffer.release();
}

void ScreenSetup::setRegion(int left, int top, int right, int bottom, int originX, int originY) const
{
    ZelClipRgn& r = region();
    r = ZelClipRgn{left, top, right, bottom, originX, originY, r.next};
}

std::string picture(const Bitmap& b)
{
    std::string out;
    for (int i = 0; i < b.width * b.height; ++i) {
        const unsigned char v = b.pixels()[i];
        out += v == 0 ? '.' : v <= 9 ? static_cast<char>('0' + v) : v <= 35 ? static_cast<char>('a' + v - 10) : '#';
        if ((i + 1) % b.width == 0)
            out += '\n';
    }
    return out;
}

void paint(Bitmap& b, const std::string& rows)
{
    std::istringstream in(rows);
    std::string line;
    for (int y = 0; y < b.height && std::getline(in, line); ++y)
        for (int x = 0; x < b.width && x < static_cast<int>(line.size()); ++x)
            *b.pixelAt(x, y) = static_cast<unsigned char>(std::isdigit(line[x])   ? line[x] - '0'
                                                          : std::islower(line[x]) ? line[x] - 'a' + 10
                                                                                  : line[x] == '#' ? 255 : 0);
}

const char* cpuPathName(CpuPath path)
{
    static const char* const names[] = {"Plain", "Sse2", "Avx2", "Avx512"};
    return names[static_cast<int>(path)];
}

size_t liveBlockCount()
{
    return ZelMem::LiveBlocks().size();
}

void ignoreLeaksFromHere()
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
}

TestBitmap::TestBitmap(int w, int hgt, const std::string& rows) : h(ZelBitmap::Create(w, hgt, {}))
{
    if (ZelBitmap* b = h.get(); b && !rows.empty())
        paint(*b, rows);
}

TestBitmap::~TestBitmap()
{
    if (ZelBitmap* b = h.get())
        b->releaseAttachment();
    h.release();
}

std::vector<unsigned char> pixels(const Bitmap& b)
{
    return {b.pixels(), b.pixels() + static_cast<size_t>(b.width) * b.height};
}

void put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(v >> (8 * i) & 0xff);
}

void writeFile(const std::string& path, const void* data, size_t size)
{
    std::ofstream(path, std::ios::binary).write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

int openDescriptors()
{
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

void Restore::save(void* at, size_t size)
{
    saved.emplace_back(at, std::string(static_cast<const char*>(at), size));
}

Restore::~Restore()
{
    for (const auto& [at, bytes] : saved)
        std::memcpy(at, bytes.data(), bytes.size());
}

TempDir::TempDir()
{
    char pattern[] = "/tmp/zeltestXXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("cannot make a temporary directory");
    path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace zeltest

void PrintTo(CpuPath path, std::ostream* os)
{
    *os << zeltest::cpuPathName(path);
}
