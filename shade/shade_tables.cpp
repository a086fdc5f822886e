// Shade tables: loaded in place from a palette's two companion files, the
// dark table from "<name>.DRK" and then the light table from "<name>.LHT".

#include <cstdio>
#include <cstring>

#include "shade/shade.h"
#include "video/last_error.h"
#include "video/system_file.h"

// Allocated by ZelVideo::init, freed by ZelVideo::deinit; never moved here.
unsigned char* ZelVideo::shadeDark = nullptr;
unsigned char* ZelVideo::shadeLight = nullptr;

void shadeFileName(char* out, const char* paletteName, const char* ext)
{
    // Names longer than the buffer allows are cut rather than overrun it.
    size_t length = paletteName ? strnlen(paletteName, ZelShadeNameSize - 1) : 0;
    if (length)
        std::memcpy(out, paletteName, length);
    out[length] = '\0';

    char* component = out;
    for (char* p = out; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            component = p + 1;
    while (*component == '.')
        ++component;
    if (char* dot = std::strchr(component, '.'))
        *dot = '\0';

    length = std::strlen(out);
    std::snprintf(out + length, ZelShadeNameSize - length, ".%s", ext);
}

namespace {

// Reads the first ZelShadeTableBytes of the palette's shade file with the
// extension ext into table. A short file leaves what it delivered in place.
bool loadShadeTable(const char* paletteName, const char* ext, unsigned char* table)
{
    char name[ZelShadeNameSize];
    shadeFileName(name, paletteName, ext);
    SystemFile file(name, SystemFile::OrDisk);
    if (!file) {
        zelSetMissingFileError("shade table", name, ZelSystemDir, true);
        return false;
    }
    if (!file.read(table, ZelShadeTableBytes, 1)) {
        zelSetError("the shade table '%s' is shorter than %d bytes", name, ZelShadeTableBytes);
        return false;
    }
    return true;
}

}  // namespace

// The tables must already be allocated: while either is still null nothing
// is read and the result is 0. The light file is only opened once the dark
// table has been read in full.
signed char ZelVideo::loadPaletteShades(const char* paletteName)
{
    if (!shadeDark || !shadeLight) {
        zelSetError("no shade tables to load into: video is not started, or memory ran out");
        return 0;
    }
    if (!loadShadeTable(paletteName, "DRK", shadeDark))
        return 0;
    if (!loadShadeTable(paletteName, "LHT", shadeLight))
        return 0;
    return -1;
}
