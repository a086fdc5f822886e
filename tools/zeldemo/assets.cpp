// The demo's own sprites and textures, computed pixel by pixel.

#include <cmath>

#include "tools/zeldemo/demo.h"

namespace zeldemo {

namespace {

HClass<Bitmap> canvas(int w, int h, int originX, int originY)
{
    HClass<ZelBitmap> b = ZelBitmap::Create(w, h, {});
    if (Bitmap* p = b.get()) {
        p->originX = originX;
        p->originY = originY;
        for (int i = 0; i < w * h; ++i)
            p->pixels()[i] = 0;
    }
    return b;
}

// A sphere lit from the top left, shaded along one ramp of the palette.
HClass<Bitmap> makeBall(int r, int ramp)
{
    HClass<Bitmap> b = canvas(2 * r, 2 * r, r, r);
    if (Bitmap* p = b.get()) {
        for (int y = 0; y < 2 * r; ++y)
            for (int x = 0; x < 2 * r; ++x) {
                const double dx = (x + 0.5 - r) / r, dy = (y + 0.5 - r) / r, d2 = dx * dx + dy * dy;
                if (d2 >= 1.0)
                    continue;
                const double light = 0.35 + 0.65 * std::max(0.0, (-dx - dy + std::sqrt(1 - d2)) / 1.7);
                *p->pixelAt(x, y) = static_cast<unsigned char>(ramp + std::min(15, static_cast<int>(light * 15.0)));
            }
    }
    return b;
}

HClass<Bitmap> makeShip()
{
    HClass<Bitmap> b = canvas(24, 16, 12, 8);
    if (Bitmap* p = b.get()) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 24; ++x) {
                const int half = (24 - x) * 8 / 24;  // narrows toward the nose at the right
                const int dy = y < 8 ? 7 - y : y - 8;
                if (dy <= half)
                    *p->pixelAt(x, y) = static_cast<unsigned char>(dy == half ? SC::White : SC::SkyRamp + 6 + (x % 6 == 0));
            }
        *p->pixelAt(17, 7) = *p->pixelAt(17, 8) = SC::Yellow;  // the cockpit
    }
    return b;
}

// Shade values for a soft shadow: darker toward the middle.
HClass<Bitmap> makeShadow()
{
    HClass<Bitmap> b = canvas(32, 12, 16, 6);
    if (Bitmap* p = b.get())
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 32; ++x) {
                const double dx = (x + 0.5 - 16) / 16, dy = (y + 0.5 - 6) / 6, d2 = dx * dx + dy * dy;
                if (d2 < 1.0)
                    *p->pixelAt(x, y) = static_cast<unsigned char>(8 + 20 * (1.0 - d2));
            }
    return b;
}

HClass<Bitmap> makeBricks()
{
    HClass<Bitmap> b = canvas(64, 64, 0, 0);
    if (Bitmap* p = b.get())
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const int row = y / 8, shift = row % 2 ? 8 : 0;
                const bool mortar = y % 8 == 7 || (x + shift) % 16 == 15;
                const int grain = (x * 7 + y * 13 + row * 5) % 3;
                *p->pixelAt(x, y) = static_cast<unsigned char>(mortar ? SC::SandRamp + 6 : SC::RedRamp + 4 + grain);
            }
    return b;
}

HClass<Bitmap> makeTiles(int ramp)
{
    HClass<Bitmap> b = canvas(64, 64, 0, 0);
    if (Bitmap* p = b.get())
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const bool dark = (x / 16 + y / 16) % 2;
                const bool edge = x % 16 == 0 || y % 16 == 0;
                *p->pixelAt(x, y) = static_cast<unsigned char>(ramp + (edge ? 2 : dark ? 5 : 8));
            }
    return b;
}

}  // namespace

bool Assets::make()
{
    ball = makeBall(12, SC::RedRamp);
    ship = makeShip();
    shadow = makeShadow();
    bricks = makeBricks();
    tiles = makeTiles(SC::SlateRamp);
    ceiling = makeTiles(SC::BrownRamp);
    return ball.resolves() && ship.resolves() && shadow.resolves() && bricks.resolves() && tiles.resolves() &&
           ceiling.resolves();
}

void Assets::release()
{
    for (HClass<Bitmap>* b : {&ball, &ship, &shadow, &bricks, &tiles, &ceiling})
        b->release();
}

}  // namespace zeldemo
