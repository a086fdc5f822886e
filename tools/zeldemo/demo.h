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

// The tour's scenes, in order.
extern const Scene tourScenes[];
extern const int tourSceneCount;

void drawPanel(int frame, const Assets&);
void drawLines(int frame, const Assets&);
void finishLines();
void drawPolygons(int frame, const Assets&);
void drawSprites(int frame, const Assets&);
void drawShading(int frame, const Assets&);
void drawCorridor(int frame, const Assets&);

// The tour: every scene in turn, opening on a picture; the corridor enters
// through a fade out and a fade in, and shakes half-way; a fade out at the
// end. afterRefresh, when given, is called after every frame of the tour has
// been sent to the display.
struct TourOptions {
    long frames = -1;  // stop after this many frames; -1: the whole tour
    int fps = 30;      // 0: as fast as possible (and fades take no time)
    bool interactive = false;  // progress on one updated terminal line
    bool loop = false;         // start again after the last scene, without the fade out
    bool timedFades = true;    // false: fades take no time (a display that shows nothing until the frame ends)
    void (*afterRefresh)(void* context) = nullptr;
    void* context = nullptr;
};

struct TourResult {
    long shown = 0;
    bool userQuit = false;  // Esc or the window closed
};

// The tour a frame at a time, for a loop that must give control back after
// every frame (a browser's). Keys, as the driver's winEvent answers them:
// Esc quits, space pauses and resumes, left or up goes back a scene, right
// or down on to the next.
class Tour {
public:
    Tour(const Assets& assets, const TourOptions& options);
    ~Tour();
    Tour(const Tour&) = delete;
    Tour& operator=(const Tour&) = delete;

    // Reads the keys, then draws and shows the next frame unless paused.
    // False once the tour is over; then it draws nothing more.
    bool step();
    const TourResult& result() const { return done; }
    bool paused() const { return halted; }

private:
    void readKeys();
    void leaveScene();
    void enterScene(int next);

    const Assets& assets;
    TourOptions options;
    HSimple<unsigned char> palette;  // slot 0 as loaded, for the fades
    int fadeTime;
    int scene = 0;
    int frame = 0;
    bool halted = false;  // by the space key
    bool over = false;
    TourResult done;
};

// The whole tour in a loop paced at options.fps.
TourResult runTour(const Assets& assets, const TourOptions& options);

// Helpers shared by the scenes.
void title(const char* text);
int wave(int frame, int period, int amplitude);  // integer sine of the frame

}  // namespace zeldemo
