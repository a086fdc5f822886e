// Timed fades of the display palette to and from black: 63 steps, each held
// for at least a 64th of the duration by a busy wait on the performance
// counter, with the caller's callback as the only work done meanwhile.
//
// The palette handle is resolved again at every step because the callback may
// allocate and so move its block, or change it. If the callback makes it stop
// resolving, the remaining steps use the palette as last seen, so that every
// fade still ends with its last step.

#include <algorithm>
#include <cstdint>
#include <cstring>

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

// The palette of a fade: its bytes as the handle holds them now, or as they
// were last seen once the handle no longer resolves.
class FadeSource {
public:
    explicit FadeSource(HSimple<unsigned char> palette) : palette_(palette) { current(); }

    const unsigned char* current()
    {
        if (const unsigned char* p = palette_.get())
            std::memcpy(last_, p, sizeof last_);
        return last_;
    }

    // The palette darkened by level: every component lowered by level, never below 0.
    void darken(int level, unsigned char* out)
    {
        const unsigned char* p = current();
        for (int i = 0; i < ZelPaletteBytes; ++i)
            out[i] = static_cast<unsigned char>(p[i] - std::min<int>(p[i], level));
    }

private:
    HSimple<unsigned char> palette_;
    unsigned char last_[ZelPaletteBytes];
};

void disableBar()
{
    if (disableLowerBar)
        disableLowerBar();
}

void sendToDriver(unsigned char* rgb)
{
    if (driverSetPalette)
        driverSetPalette(0, ZelPaletteEntries, rgb);
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
    FadeSource source(palette);
    StepClock clock(duration);
    unsigned char out[ZelPaletteBytes];
    for (int level = 0; level < ZelFadeLevels;) {
        source.darken(level, out);
        ++level;
        showStep(clock, callback, out);
        if (level == 1)
            disableBar();
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
    FadeSource source(palette);
    unsigned char black[ZelPaletteBytes] = {};
    sendToDriver(black);
    disableBar();
    if (refresh)
        refresh();

    StepClock clock(duration);
    unsigned char out[ZelPaletteBytes];
    for (int level = ZelFadeLevels; level > 0;) {
        source.darken(level, out);
        --level;
        showStep(clock, callback, out);
    }
    std::memcpy(out, source.current(), sizeof out);
    if (::setPalette)
        ::setPalette(0, ZelPaletteEntries, out);
}
