// Timed fades of the display palette to and from black: 63 steps, each held
// for at least a 64th of the duration by a busy wait on the performance
// counter, with the caller's callback as the only work done meanwhile.
//
// The palette handle is resolved again at every step because the callback may
// allocate and so move its block. If the callback makes it stop resolving,
// the fade ends there without sending anything more.

#include <algorithm>
#include <cstdint>

#include "platform/platform.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"

namespace {

// Step timing: elapsed milliseconds since the previous step, in 64-bit
// integer arithmetic.
class StepClock {
public:
    explicit StepClock(int duration) : step(duration >> 6)
    {
        QueryPerformanceFrequency(&frequency);
        if (frequency <= 0)
            frequency = 1;
        QueryPerformanceCounter(&start);
    }

    // Waits until at least a step has passed since the previous one, starts
    // the next step and returns the elapsed time of the one that ended.
    int64_t wait()
    {
        int64_t elapsed;
        do {
            int64_t now;
            QueryPerformanceCounter(&now);
            elapsed = (now - start) * 1000 / frequency;
        } while (elapsed < step);
        QueryPerformanceCounter(&start);
        return elapsed;
    }

private:
    int64_t step;
    int64_t frequency = 1;
    int64_t start = 0;
};

// The palette darkened by level: every component lowered by level, never
// below 0. False when the palette no longer resolves.
bool darken(HSimple<unsigned char> palette, int level, unsigned char* out)
{
    const unsigned char* p = palette.get();
    if (!p)
        return false;
    for (int i = 0; i < ZelPaletteBytes; ++i)
        out[i] = static_cast<unsigned char>(p[i] - std::min<int>(p[i], level));
    return true;
}

void sendToDriver(unsigned char* rgb)
{
    if (driverSetPalette)
        driverSetPalette(0, 256, rgb);
}

// One step of a fade: wait, let the caller work, then show the step.
void showStep(StepClock& clock, int (*callback)(int), unsigned char* out)
{
    int64_t elapsed = clock.wait();
    if (callback)
        callback(static_cast<int>(elapsed));
    sendToDriver(out);
}

}  // namespace

// Levels 0 to 62 go straight to the driver, so getPalette keeps answering
// what the relay sent before the fade; then black.
void ZelVideo::FadeOut(int duration, HSimple<unsigned char> palette, int (*callback)(int))
{
    if (!palette.resolves())
        return;
    StepClock clock(duration);
    unsigned char out[ZelPaletteBytes];
    for (int level = 0; level < 63;) {
        if (!darken(palette, level, out))
            return;
        ++level;
        showStep(clock, callback, out);
        if (level == 1 && disableLowerBar)
            disableLowerBar();
    }
    unsigned char black[ZelPaletteBytes] = {};
    sendToDriver(black);
}

// Black first, then levels 63 down to 1 straight to the driver, and last the
// palette itself through the relay, which also records it for getPalette.
void ZelVideo::FadeIn(int duration, HSimple<unsigned char> palette, int (*callback)(int))
{
    if (!palette.resolves())
        return;
    unsigned char black[ZelPaletteBytes] = {};
    sendToDriver(black);
    if (disableLowerBar)
        disableLowerBar();
    if (refresh)
        refresh();

    StepClock clock(duration);
    unsigned char out[ZelPaletteBytes];
    for (int level = 63; level > 0;) {
        if (!darken(palette, level, out))
            return;
        --level;
        showStep(clock, callback, out);
    }
    unsigned char* p = palette.get();
    if (p && ::setPalette)
        ::setPalette(0, 256, p);
}
