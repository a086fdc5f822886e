#include "tools/assets/asset_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zelassets {

namespace {

// Stores v little-endian at out[at] to out[at + 3].
void storeUint32(Bytes& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + std::size_t(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::string reason(const std::string& what, const std::filesystem::path& path, int err)
{
    return what + " " + path.string() + ": " + std::strerror(err);
}

} // namespace

Bytes encodePalette(const Palette& palette)
{
    Bytes out;
    out.reserve(PaletteFileBytes);
    for (const Rgb& c : palette) {
        out.push_back(c.r);
        out.push_back(c.g);
        out.push_back(c.b);
    }
    return out;
}

Bytes encodeShadeTable(const ShadeTable& table)
{
    return Bytes(table.begin(), table.end());
}

void encodeBitmap(const AssetBitmap& bitmap, Bytes& out)
{
    // Exactly width * height pixel bytes whatever the vector holds (missing
    // ones are 0), so that a reader never loses its place in a file of
    // several bitmaps.
    const std::size_t count = bitmap.width > 0 && bitmap.height > 0
                                  ? std::size_t(bitmap.width) * std::size_t(bitmap.height)
                                  : 0;
    const std::size_t at = out.size();
    out.resize(at + BitmapHeaderBytes + count, 0);
    storeUint32(out, at, static_cast<std::uint32_t>(bitmap.width));
    storeUint32(out, at + 4, static_cast<std::uint32_t>(bitmap.height));
    storeUint32(out, at + 8, static_cast<std::uint32_t>(bitmap.originX));
    storeUint32(out, at + 12, static_cast<std::uint32_t>(bitmap.originY));
    const std::size_t given = std::min(count, bitmap.pixels.size());
    if (given > 0)
        std::memcpy(out.data() + at + BitmapHeaderBytes, bitmap.pixels.data(), given);
}

Bytes encodeFont(const AssetFont& font)
{
    Bytes out(FontHeadBytes, 0);
    storeUint32(out, 0, static_cast<std::uint32_t>(font.glyphs.size()));
    std::memcpy(out.data() + 4, font.charMap.data(), font.charMap.size());
    for (const AssetBitmap& glyph : font.glyphs)
        encodeBitmap(glyph, out);
    return out;
}

bool writeFileAtomically(const std::filesystem::path& path, const Bytes& bytes, std::string& error)
{
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";
    std::string name = ".";
    name += path.filename().string();
    name += ".XXXXXX";
    std::string temp = (dir / name).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = reason("cannot create a temporary file for", path, errno);
        return false;
    }

    int err = 0;
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0 && err == 0) {
        const ssize_t n = write(fd, p, left);
        if (n > 0) {
            p += n;
            left -= std::size_t(n);
        } else if (n == 0) {
            err = EIO;
        } else if (errno != EINTR) {
            err = errno;
        }
    }
    // mkstemp makes the file private; data files are for everyone to read.
    if (err == 0 && fchmod(fd, 0644) != 0)
        err = errno;
    if (close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && std::rename(temp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err != 0) {
        unlink(temp.c_str());
        error = reason("cannot write", path, err);
        return false;
    }
    return true;
}

} // namespace zelassets
