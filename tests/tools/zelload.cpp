// Prints an engine bitmap as the library loads it: its size and origin, then
// its pixels a row a line. The zeltool transcripts read zeltool's bitmaps
// back with it.

#include <cstdio>

#include "bitmap/bitmap.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    HClass<ZelBitmap> b = ZelBitmap::Load(argv[1], "", 1);
    if (b.isNull()) {
        std::puts("the library cannot load it");
        return 1;
    }
    std::printf("%d x %d, origin %d,%d\n", b->width, b->height, b->originX, b->originY);
    for (int y = 0; y < b->height; ++y)
        for (int x = 0; x < b->width; ++x)
            std::printf("%4d%s", b->pixels()[y * b->width + x], x + 1 < b->width ? "" : "\n");
    b.release();
    return 0;
}
