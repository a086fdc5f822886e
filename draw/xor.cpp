// Reversible figures: every pixel of the figure is XORed with a mask exactly
// once, so drawing the same figure again restores the Screen.

#include "draw/draw.h"
#include "draw/pixel_ops.h"
#include "draw/target.h"
#include "draw/walk.h"

void putXorVLine(int x, int y, int length, unsigned char mask)
{
    XorOp op{mask};
    if (DrawTarget t = DrawTarget::screen())
        walk::vRun(*t.bitmap, *t.rgn, {x, y}, length, op);
}

void putXorHLine(int x, int y, int length, unsigned char mask)
{
    XorOp op{mask};
    if (DrawTarget t = DrawTarget::screen())
        walk::hRun(*t.bitmap, *t.rgn, {x, y}, length, op);
}

void putXorBar(int x, int y, int width, int height, unsigned char mask)
{
    XorOp op{mask};
    if (DrawTarget t = DrawTarget::screen())
        walk::fillRect(*t.bitmap, *t.rgn, {x, y}, {width, height}, op);
}

void putXorRectangle(int x, int y, int width, int height, unsigned char mask)
{
    XorOp op{mask};
    if (DrawTarget t = DrawTarget::screen())
        walk::frameRect(*t.bitmap, *t.rgn, {x, y}, {width, height}, op);
}
