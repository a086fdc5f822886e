// Windows BMP 3.0 files, read from a disk file.
#include "fuzz/fuzz_support.h"

ZELFUZZ_TARGET(input)
{
    zelfuzz::exerciseAndFree(zelfuzz::loadFromDisk(input.file("input.bmp"), ZelBitmap::LoadWinBmp30));
}
