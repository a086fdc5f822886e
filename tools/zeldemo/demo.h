// The showcase's pieces: the assets it makes itself and the scenes of the
// tour. Every scene draws one frame from scratch with the library's calls.
#pragma once

#include "bitmap/bitmap.h"
#include "tools/assets/palette_design.h"

namespace zeldemo {

namespace SC = zelassets::StandardColour;

// Sprites and textures drawn by code, owned by the demo for its whole run.
struct Assets {
    HClass<Bitmap> ball;       // shaded sphere, origin at its centre
    HClass<Bitmap> ship;       // arrow-shaped ship pointing right, origin at its centre
    HClass<Bitmap> shadow;     // shade mask: a soft ellipse of darkening values
    HClass<Bitmap> bricks;     // 64 x 64 wall texture
    HClass<Bitmap> tiles;      // 64 x 64 floor texture
    HClass<Bitmap> ceiling;    // 64 x 64 ceiling texture

    bool make();
    void release();
};

struct Scene {
    const char* name;
    int frames;
    void (*draw)(int frame, const Assets& assets);
    void (*finish)();  // after the scene's last frame drawn, or null
};

void drawPanel(int frame, const Assets&);
void drawLines(int frame, const Assets&);
void finishLines();
void drawPolygons(int frame, const Assets&);
void drawSprites(int frame, const Assets&);
void drawShading(int frame, const Assets&);
void drawCorridor(int frame, const Assets&);

// The tour: every scene in turn, a fade in at the start, a shake in the last
// scene and a fade out at the end. afterRefresh, when given, is called after
// every frame has been sent to the display.
struct TourOptions {
    long frames = -1;  // stop after this many frames; -1: the whole tour
    int fps = 30;      // 0: as fast as possible
    bool interactive = false;  // progress on one updated terminal line
    void (*afterRefresh)(void* context) = nullptr;
    void* context = nullptr;
};

struct TourResult {
    long shown = 0;
    bool userQuit = false;  // Esc or the window closed
};

TourResult runTour(const Assets& assets, const TourOptions& options);

// Helpers shared by the scenes.
void title(const char* text);
int wave(int frame, int period, int amplitude);  // integer sine of the frame

}  // namespace zeldemo
