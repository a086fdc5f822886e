// Palette files loaded into a slot by name: the first byte chooses the slot
// (values beyond the 16 slots included), the rest is the file.
#include "fuzz/fuzz_support.h"
#include "video/video.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zelfuzz::startVideo();
    zelfuzz::ByteReader in(data, size);
    const unsigned slot = in.byte() % 20;
    const std::string content = in.rest();
    const std::string path =
        zelfuzz::writeInput("input.pal", reinterpret_cast<const uint8_t*>(content.data()), content.size());
    zelfuzz::LeakCheck leaks;
    // Slot 0 keeps the name for the shade tables: reloading the standard
    // palette afterwards puts it back.
    if (ZelVideo::loadPalette(path.c_str(), slot) && slot < 16)
        ZelVideo::setPalette(slot);
    if (slot == 0)
        ZelVideo::loadPalette("standard.pal", 0);
    return 0;
}
