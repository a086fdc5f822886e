// Exported video state with its load-time values, and the single-pixel
// operations on the screen buffer.

#include "video/screen.h"

#include <cstring>

#include "draw/target.h"

int scrWidth = 0;
int scrHeight = 0;
unsigned char* videoMemory = nullptr;
unsigned char defaultColor = 31;
int currentXPos = 0;
int currentYPos = 0;
unsigned char zoomFactor = 8;
unsigned char hazeLevel = 0;
unsigned char nightLevel = 0;

void (*refresh)(void) = nullptr;
signed char (*setTextMode)(uintptr_t) = nullptr;
signed char (*setVideoMode)(uintptr_t) = nullptr;
void (*setPalette)(unsigned short, unsigned short, unsigned char*) = nullptr;
void (*enableLowerBar)(void) = nullptr;
void (*disableLowerBar)(void) = nullptr;
signed char (*ZelVideoWinEvent)(unsigned int, unsigned int, unsigned short, unsigned int) = nullptr;

void clrScreen(unsigned char c)
{
    if (videoMemory && scrWidth > 0 && scrHeight > 0)
        std::memset(videoMemory, c, static_cast<size_t>(scrWidth) * static_cast<size_t>(scrHeight));
}

void putPixel(int x, int y, unsigned char c)
{
    DrawTarget t = DrawTarget::screen();
    if (!t)
        return;
    int32_t bx = t.rgn->mapX(x);
    int32_t by = t.rgn->mapY(y);
    if (t.rgn->contains(bx, by))
        *t.bitmap->pixelAt(bx, by) = c;
}

unsigned char getPixel(int x, int y)
{
    DrawTarget t = DrawTarget::screen();
    if (!t)
        return 0;
    int32_t bx = t.rgn->mapX(x);
    int32_t by = t.rgn->mapY(y);
    return t.rgn->contains(bx, by) ? *t.bitmap->pixelAt(bx, by) : 0;
}
