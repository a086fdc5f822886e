// Sprites: transparent, zoomed, mirrored, quarter-turned and freely turning;
// then shadows and nightfall through the shade tables.

#include "bitmap/blit.h"
#include "blit/rotate.h"
#include "blit/scale.h"
#include "blit/zoom.h"
#include "draw/draw.h"
#include "engine/zelmath/zelmath.h"
#include "font/font.h"
#include "tools/zeldemo/demo.h"
#include "video/screen.h"
#include "video/video.h"

namespace zeldemo {

namespace {

void label(int x, int y, const char* text)
{
    ZelFont::putFormat(x, y, text, 1, SC::GreyRamp + 12);
}

// A checkered ground that the shading scene darkens.
void ground()
{
    for (int y = 14; y < scrHeight; y += 16)
        for (int x = 0; x < scrWidth; x += 16)
            putBar(x, y, 16, 16, static_cast<unsigned char>(((x + y) / 16) % 2 ? SC::GreenRamp + 7 : SC::OliveRamp + 8));
}

}  // namespace

void drawSprites(int frame, const Assets& a)
{
    clrScreen(SC::Background);
    title("Sprites");
    const int bounce = wave(frame, 40, 20);
    putImage(30, 60 - (bounce < 0 ? -bounce : bounce), a.ball, 0);
    label(30, 80, "1:1");
    bmpZoomImage(90, 55, a.ball, static_cast<unsigned>(65536 + wave(frame, 60, 30000)));
    label(90, 80, "zoom");
    bmpZoomInvImage(150, 55, a.ship, 65536);
    bmpZoomFlipImage(200, 55, a.ship, 49152);
    label(175, 80, "mirrored");
    bmpZoomImageScale(40, 130, a.ship, 16);
    bmpZoomImageScaleRot90(90, 130, a.ship, 16);
    bmpZoomImageScaleRot180(140, 130, a.ship, 16);
    bmpZoomImageScaleRot270(190, 130, a.ship, 15);
    label(115, 155, "quarter turns");
    bmpRotImage(270, 110, a.ship, static_cast<unsigned>(frame * 700), static_cast<int>(40000 + wave(frame, 90, 16000)));
    label(270, 155, "any angle");
}

void drawShading(int frame, const Assets& a)
{
    clrScreen(SC::Background);
    ground();
    title("Shadows and nightfall");
    for (int k = 0; k < 4; ++k) {
        const int x = 50 + k * 70, hop = wave(frame + k * 11, 36, 24);
        const int height = hop < 0 ? -hop : hop;
        ZelVideo::putShadedImage(x, 150, a.shadow);
        bmpZoomImage(x, 138 - height, a.ball, 65536);
    }
    // Night falls from the right: a growing band of ever darker shade.
    const int night = frame * 40 / 90;
    ZelVideo::putShadedBar(scrWidth - frame * 2, 14, frame * 2, scrHeight - 14, static_cast<signed char>(night));
    ZelVideo::bmpZoomImageShadeScale(scrWidth - 40, 40, a.ship, 16, static_cast<signed char>(night / 2));
    // A lit window stays bright through the night.
    ZelVideo::putShadedBar(20, 30, 40, 20, -20);
}

}  // namespace zeldemo
