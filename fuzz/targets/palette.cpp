// Palette files loaded into a slot by name: the first byte chooses the slot
// (values beyond the 16 slots included), the rest is the file.
#include "fuzz/fuzz_support.h"
#include "video/video.h"

ZELFUZZ_TARGET(input)
{
    const unsigned slot = input.byte() % 20;
    // Slot 0 keeps the name for the shade tables: reloading the standard
    // palette afterwards puts it back.
    if (ZelVideo::loadPalette(input.file("input.pal").c_str(), slot) && slot < 16)
        ZelVideo::setPalette(slot);
    if (slot == 0)
        ZelVideo::loadPalette("standard.pal", 0);
}
