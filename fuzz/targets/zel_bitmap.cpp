// The engine's own bitmap format, read from a disk file.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zelfuzz::startVideo();
    const std::string path = zelfuzz::writeInput("input.zbm", data, size);
    zelfuzz::LeakCheck leaks;
    zelfuzz::exerciseAndFree(zelfuzz::loadFromDisk(path, [](ZelFile& f) { return ZelBitmap::LoadZelBitmap(f); }));
    return 0;
}
