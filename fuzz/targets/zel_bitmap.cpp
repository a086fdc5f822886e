// The engine's own bitmap format, read from a disk file.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zelfuzz::startVideo();
    const std::string path = zelfuzz::writeInput("input.zbm", data, size);
    zelfuzz::LeakCheck leaks;
    ZelDiskFile file;
    if (!file.open(path.c_str(), 1))
        return 0;
    HClass<ZelBitmap> bitmap = ZelBitmap::LoadZelBitmap(file);
    file.close();
    zelfuzz::exerciseBitmap(bitmap);
    bitmap.release();
    return 0;
}
