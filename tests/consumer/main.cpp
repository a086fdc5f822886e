// Draws into a Screen bitmap through the installed headers and libraries and
// checks what it reads back.
#include <cstdio>

#include <zelgfx.h>

int main()
{
    ZelBitmap::Screen = ZelBitmap::Create(16, 8, 65535);
    if (ZelBitmap::Screen.isNull())
        return 1;
    ZelBitmap::pushClipRgn(ZelBitmap::Screen, ZelClipRgn{0, 0, 16, 8, 2, 1, {}});
    scrWidth = 16;
    scrHeight = 8;
    videoMemory = ZelBitmap::Screen->pixels();
    clrScreen(0);
    putPixel(3, 4, 42);
    const bool ok = videoMemory[5 * 16 + 5] == 42 && getPixel(3, 4) == 42 && iSin(ZelAngleQuarterTurn) == 1 << 20;
    ZelBitmap::Screen->releaseAttachment();
    ZelBitmap::Screen.release();
    std::puts(ok ? "consumer: ok" : "consumer: wrong pixels");
    return ok ? 0 : 1;
}
