// The engine's own bitmap format, read from a disk file.
#include "fuzz/fuzz_support.h"

ZELFUZZ_TARGET(input)
{
    zelfuzz::exerciseAndFree(zelfuzz::loadFromDisk(input.file("input.zbm"), ZelBitmap::LoadZelBitmap));
}
