// Loading bitmaps: by name through the engine's file system with a fall-back
// to the disk, on an open file by format, and the engine's own bitmap format.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "bitmap/bitmap.h"
#include "engine/zelufs/zelufs.h"
#include "video/last_error.h"

namespace {

constexpr unsigned char FormatChoose = 0;
constexpr unsigned char FormatZel = 1;
constexpr unsigned char FormatBmp = 2;

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 'a' + 'A') : b[i];
        if (x != y)
            return false;
    }
    return true;
}

// The extension is the second non-empty "."-separated token of the file-name
// part (what follows the last '\\', '/' or ':'): a.b.bmp has the extension b,
// and .bmp has none. Names of any length are handled; nothing is truncated.
unsigned char formatFromName(std::string_view name)
{
    size_t cut = name.find_last_of("\\/:");
    if (cut != std::string_view::npos)
        name.remove_prefix(cut + 1);

    int token = 0;
    size_t pos = 0;
    while (pos < name.size()) {
        size_t end = name.find('.', pos);
        if (end == std::string_view::npos)
            end = name.size();
        if (end > pos && ++token == 2)
            return equalsNoCase(name.substr(pos, end - pos), "BMP") ? FormatBmp : FormatZel;
        pos = end + 1;
    }
    return FormatZel;
}

}  // namespace

HClass<ZelBitmap> ZelBitmap::Load(const char* name, const char* dir, unsigned char format)
{
    if (!name) {
        zelSetError("no bitmap name given");
        return {};
    }
    if (format == FormatChoose)
        format = formatFromName(name);

    if (ZelUFSLib* ufs = ZelUFSLib::Lib.get()) {
        HClass<ZelFile> file = ufs->openBin(name, dir, 0);
        if (ZelFile* f = file.get()) {
            HClass<ZelBitmap> bitmap = Load(*f, format);
            file.destroy();
            return bitmap;
        }
        file.destroy();  // a handle without an object still owns its entry
    }

    // The disk: dir and name joined as they stand, then name alone. A null
    // dir counts as empty, so only the second attempt remains.
    ZelDiskFile disk;
    bool opened = false;
    if (dir && *dir)
        opened = disk.open((std::string(dir) + name).c_str(), 1);
    if (!opened && !disk.open(name, 1)) {
        zelSetMissingFileError("bitmap", name, dir, true);
        return {};
    }
    HClass<ZelBitmap> bitmap = Load(disk, format);
    disk.close();
    return bitmap;
}

HClass<ZelBitmap> ZelBitmap::Load(ZelFile& file, unsigned char format)
{
    switch (format) {
    case FormatZel:
        return LoadZelBitmap(file);
    case FormatBmp:
        return LoadWinBmp30(file);
    default: {
        HClass<ZelBitmap> bitmap = LoadWinBmp30(file);
        if (bitmap.resolves())
            return bitmap;
        file.rewind();
        return LoadZelBitmap(file);
    }
    }
}

HClass<ZelBitmap> ZelBitmap::LoadZelBitmap(ZelFile& file)
{
    int32_t width = 0;
    int32_t height = 0;
    if (file.read(&width, 4, 1) != 1 || file.read(&height, 4, 1) != 1) {
        zelSetError("the bitmap file is shorter than its 8-byte size");
        return {};
    }

    // Create refuses negative sizes and sizes beyond 32 bits, so the pixel
    // count below always fits in an unsigned item size.
    HClass<ZelBitmap> bitmap = Create(width, height, {});
    if (!bitmap.resolves()) {
        zelSetError("no bitmap of %d x %d pixels: a negative or too large size, or no memory", width, height);
        return {};
    }

    // A file cut short after the size still yields a bitmap: the origin then
    // stays 0 and the pixels that could not be read are 0.
    int32_t origin[2] = {0, 0};
    uint32_t reserved = 0;
    file.read(&origin[0], 4, 1);
    file.read(&origin[1], 4, 1);
    file.read(&reserved, 4, 1);

    ZelBitmap* b = bitmap.get();
    b->originX = origin[0];
    b->originY = origin[1];
    const unsigned bytes = static_cast<unsigned>(width) * static_cast<unsigned>(height);
    std::memset(b->pixels(), 0, bytes);
    if (bytes != 0)
        file.read(b->pixels(), bytes, 1);
    return bitmap;
}
