// The palette store: 16 slots loaded from palette files with the gamma offset
// added, the copy of what was last sent to the display, and the relay that
// sends palettes on to the driver.

#include "video/palette.h"

#include <algorithm>
#include <cstring>

#include "video/driver.h"
#include "video/last_error.h"
#include "video/system_file.h"
#include "video/screen.h"

unsigned char palettes[ZelPaletteSlots][ZelPaletteBytes] = {};
unsigned char paletteShadow[ZelPaletteBytes] = {};
char paletteName[32] = {};
float gammaOffset = 0.0f;
ZelVideoStatistics videoStatistics = {};

namespace {

// One 8-bit palette component on the display's 6-bit scale, shifted by the
// gamma offset and kept within 0 to 63. A NaN offset gives 0.
unsigned char correctedComponent(unsigned char b)
{
    float v = static_cast<float>(b >> 2) + gammaOffset;
    if (!(v >= 0.0f))
        return 0;
    if (v > 63.0f)
        return 63;
    return static_cast<unsigned char>(v);
}

}  // namespace

float gammaOffsetOf(double gamma)
{
    return static_cast<float>((gamma - 1.0) * 32.0);
}

// A null name fails like a missing file, leaving paletteName alone.
signed char ZelVideo::loadPalette(const char* name, unsigned int slot)
{
    if (!name) {
        zelSetError("no palette name given");
        return 0;
    }
    if (slot >= ZelPaletteSlots) {
        zelSetError("no palette slot %u: there are %d", slot, ZelPaletteSlots);
        return 0;
    }
    if (slot == 0 && name != paletteName) {
        size_t n = strnlen(name, sizeof paletteName - 1);
        std::memmove(paletteName, name, n);
        paletteName[n] = '\0';
    }

    unsigned char* slotBytes = palettes[slot];
    {
        SystemFile file(name, SystemFile::OrDisk);
        if (!file) {
            zelSetMissingFileError("palette", name, ZelSystemDir, true);
            return 0;
        }
        if (!file.read(slotBytes, 3, ZelPaletteEntries)) {
            zelSetError("the palette '%s' is shorter than %d bytes", name, ZelPaletteBytes);
            return 0;
        }
    }

    for (int i = 0; i < ZelPaletteBytes; ++i)
        slotBytes[i] = correctedComponent(slotBytes[i]);
    return -1;
}

// Slots above 15 are ignored, as is a call before a driver is linked.
void ZelVideo::setPalette(unsigned int slot)
{
    if (slot < ZelPaletteSlots && ::setPalette)
        ::setPalette(0, ZelPaletteEntries, palettes[slot]);
}

// Entries beyond the last one are not copied, but the driver still receives
// the call as made. Without colours there is nothing to copy or send.
void paletteRelay(unsigned short first, unsigned short count, unsigned char* rgb)
{
    if (!rgb)
        return;
    if (first < ZelPaletteEntries) {
        size_t entries = std::min<size_t>(count, ZelPaletteEntries - first);
        std::memcpy(paletteShadow + first * 3, rgb, entries * 3);
    }
    if (driverSetPalette)
        driverSetPalette(first, count, rgb);
}

signed char getPalette(unsigned char* out)
{
    if (out)
        std::memcpy(out, paletteShadow, sizeof paletteShadow);
    return -1;
}
