// Gamma changes, the screen shake and the drawing statistics.

#include <cstdlib>

#include "engine/zelmem/zelmem.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"

// Only slot 0 is reloaded with the new offset; the other slots keep the one
// they were loaded with. When the file cannot be read again, slot 0 keeps its
// old contents and is sent as it is.
void ZelVideo::SetGammaCorrection(float gamma)
{
    gammaOffset = gammaOffsetOf(gamma);
    loadPalette(paletteName, 0);
    if (::setPalette)
        ::setPalette(0, ZelPaletteEntries, palettes[0]);
}

void ZelVideo::Shake(int amount)
{
    if (driverShake)
        driverShake(amount);
}

// "GammaCorr" is parsed with atof: text that is not a number reads as 0.0.
void ZelVideo::initStat()
{
    videoStatistics = {};
    char value[32];
    ZelSystem::GetRegistryString("GammaCorr", "1.0", value, sizeof value);
    gammaOffset = gammaOffsetOf(std::atof(value));
}

void ZelVideo::getStat(ZelVideoStatistics* out)
{
    if (out)
        *out = videoStatistics;
}
