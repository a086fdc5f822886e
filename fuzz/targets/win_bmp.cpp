// Windows BMP 3.0 files, read from a disk file.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zelfuzz::startVideo();
    const std::string path = zelfuzz::writeInput("input.bmp", data, size);
    zelfuzz::LeakCheck leaks;
    ZelDiskFile file;
    if (!file.open(path.c_str(), 1))
        return 0;
    HClass<ZelBitmap> bitmap = ZelBitmap::LoadWinBmp30(file);
    file.close();
    zelfuzz::exerciseBitmap(bitmap);
    if (Bitmap* b = bitmap.get())
        b->releaseAttachment();
    bitmap.release();
    return 0;
}
