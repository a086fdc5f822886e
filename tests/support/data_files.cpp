#include "data_files.h"

#include <cstdio>
#include <unistd.h>

#include "font/font.h"
#include "test_support.h"

namespace zeltest {

namespace {

constexpr size_t BmpHeadBytes = 14 + 40 + 1024;

int32_t bmpStride(const Picture& p)
{
    return (p.width + 3) / 4 * 4;
}

void put16(std::string& s, uint16_t v)
{
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>(v >> 8);
}

}  // namespace

Picture randomPicture(std::mt19937& rng, int32_t width, int32_t height, int zeroOneIn)
{
    Picture p{width, height, 0, 0, {}};
    for (int32_t i = 0; i < width * height; ++i)
        p.pixels += static_cast<char>(rng() % zeroOneIn == 0 ? 0 : 1 + rng() % 255);
    return p;
}

std::string engineBitmapFile(const Picture& p)
{
    std::string s;
    for (int32_t field : {p.width, p.height, p.originX, p.originY, int32_t(0x5eed5eed)})
        put32(s, static_cast<uint32_t>(field));
    return s + p.pixels;
}

std::string bmpFile(const Picture& p, const std::string& colours)
{
    const uint32_t imageBytes = static_cast<uint32_t>(bmpStride(p) * p.height);
    std::string s;
    put16(s, 19778);
    for (uint32_t v : {uint32_t(BmpHeadBytes + imageBytes), 0u, uint32_t(BmpHeadBytes), 40u, uint32_t(p.width),
                       uint32_t(p.height)})
        put32(s, v);
    put16(s, 1);
    put16(s, 8);
    for (uint32_t v : {0u, imageBytes, 2835u, 2835u, 256u, 0u})
        put32(s, v);
    for (int i = 0; i < 256; ++i)
        s += {colours[3 * i + 2], colours[3 * i + 1], colours[3 * i], '\0'};
    for (int32_t y = p.height - 1; y >= 0; --y)
        s += p.pixels.substr(static_cast<size_t>(y * p.width), static_cast<size_t>(p.width)) +
             std::string(static_cast<size_t>(bmpStride(p) - p.width), '\0');
    return s;
}

size_t bmpPixelsEnd(const Picture& p)
{
    return BmpHeadBytes + static_cast<size_t>(bmpStride(p) * (p.height - 1) + p.width);
}

std::string fontFile(const std::vector<FontGlyph>& glyphs)
{
    std::string s, map(256, '\0');
    put32(s, static_cast<uint32_t>(glyphs.size()));
    for (size_t k = 0; k < glyphs.size(); ++k)
        map[glyphs[k].first] = static_cast<char>(k + 1);
    s += map;
    for (const auto& glyph : glyphs)
        s += engineBitmapFile(glyph.second);
    return s;
}

BytesFile::BytesFile(const std::string& bytes)
{
    char path[] = "/tmp/zelbytesXXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0)
        ::close(fd);
    path_ = path;
    writeFile(path_, bytes);
    open(path_.c_str(), 1);
}

BytesFile::~BytesFile()
{
    close();
    std::remove(path_.c_str());
}

HClass<ZelFile> BytesFile::create(const std::string& bytes)
{
    HClass<ZelFile> file;
    file.adopt(static_cast<ZelFile*>(new BytesFile(bytes)));
    return file;
}

int loadFont(const std::string& bytes)
{
    HClass<ZelFile> file = BytesFile::create(bytes);
    const int slot = ZelFont::load(file);
    file.destroy();
    return slot;
}

}  // namespace zeltest
