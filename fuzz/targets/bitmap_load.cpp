// Bitmap loading through every format selector: the first byte chooses the
// selector (0 picks the format from the name, 1 the engine's format, 2 BMP,
// anything else tries BMP and then the engine's format), the second whether
// the file is named .bmp or .zbm and whether it is loaded by name or from an
// open file; the rest is the file.
#include "fuzz/fuzz_support.h"

ZELFUZZ_TARGET(input)
{
    const unsigned char format = input.byte();
    const uint8_t how = input.byte();
    const std::string name = (how & 1) ? "input.bmp" : "input.zbm";
    const std::string path = input.file(name);
    if (how & 2)
        zelfuzz::exerciseAndFree(ZelBitmap::Load(name.c_str(), zelfuzz::inputDir().c_str(), format));
    else
        zelfuzz::exerciseAndFree(zelfuzz::loadFromDisk(path, [format](ZelFile& f) { return ZelBitmap::Load(f, format); }));
}
