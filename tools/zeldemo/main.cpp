// zeldemo: a scripted tour through every family of zelgfx, drawn with the
// library's own calls and assets the demo makes itself.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <unistd.h>

#include "video/palette.h"
#include "video/screen.h"
#include "video/video.h"
#include "tools/zeldemo/demo.h"

namespace {

using namespace zeldemo;

const Scene tour[] = {
    {"panel", 90, drawPanel},       {"lines", 90, drawLines},     {"polygons", 90, drawPolygons},
    {"sprites", 120, drawSprites},  {"shading", 90, drawShading}, {"corridor", 120, drawCorridor},
};

struct Options {
    const char* driver = nullptr;  // the configured one ("mcga.drv" by default)
    long frames = -1;              // stop after this many frames; -1: the whole tour
    int fps = 30;                  // 0: as fast as possible
};

void usage(FILE* to)
{
    std::fprintf(to,
                 "usage: zeldemo [--driver NAME] [--frames N] [--fps N]\n"
                 "A tour through zelgfx: boxes and text, lines, polygons, sprites, shading,\n"
                 "a textured corridor, fades and a shake.\n\n"
                 "  --driver NAME  graphics driver (default: the configured \"graphics\" value,\n"
                 "                 mcga.drv; headless.drv needs no display)\n"
                 "  --frames N     stop after N frames (default: the whole tour)\n"
                 "  --fps N        frames per second, 0 for as fast as possible (default 30)\n"
                 "  --help         this text\n\n"
                 "Esc or closing the window quits.\n");
}

// Parses the arguments; returns 0 to run, otherwise the exit code.
int parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        char* end = nullptr;
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return -1;
        } else if (arg == "--driver" && hasValue) {
            o.driver = argv[++i];
        } else if ((arg == "--frames" || arg == "--fps") && hasValue) {
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end || value < 0) {
                std::fprintf(stderr, "zeldemo: %s needs a whole number of 0 or more, not '%s'\n", arg.c_str(), argv[i]);
                return 2;
            }
            if (arg == "--frames")
                o.frames = value;
            else
                o.fps = static_cast<int>(value < 1000 ? value : 1000);
        } else {
            std::fprintf(stderr, "zeldemo: unknown argument '%s' (try --help)\n", arg.c_str());
            return 2;
        }
    }
    return 0;
}

// A 768-byte palette handle holding slot 0, for the fades.
HSimple<unsigned char> paletteCopy()
{
    HSimple<unsigned char> copy;
    copy.alloc(ZelPaletteBytes);
    if (unsigned char* p = copy.get())
        std::memcpy(p, palettes[0], ZelPaletteBytes);
    return copy;
}

// Progress on the terminal: every frame on one updated line when stdout is a
// terminal, one line per scene otherwise (logs stay short).
void progress(int scene, int scenes, int frame, bool interactive)
{
    if (interactive)
        std::printf("\rzeldemo: scene %d/%d %-9s frame %3d/%d", scene + 1, scenes, tour[scene].name, frame + 1,
                    tour[scene].frames);
    else if (frame == 0)
        std::printf("zeldemo: scene %d/%d %s\n", scene + 1, scenes, tour[scene].name);
    std::fflush(stdout);
}

bool userQuits()
{
    return ZelVideoWinEvent && ZelVideoWinEvent(0, 0, 0, 0) != 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (int code = parse(argc, argv, options))
        return code < 0 ? 0 : code;

    if (!ZelVideo::init(options.driver, nullptr, nullptr)) {
        std::fprintf(stderr, "\nzeldemo: video could not start with the driver '%s'\n",
                     options.driver ? options.driver : "configured as \"graphics\" (mcga.drv)");
        ZelVideo::deinit();
        deinitGraphics();
        return 1;
    }
    Assets assets;
    if (!assets.make()) {
        std::fprintf(stderr, "zeldemo: out of memory for the demo's sprites\n");
        assets.release();
        ZelVideo::deinit();
        return 1;
    }
    HSimple<unsigned char> palette = paletteCopy();
    const auto frameTime = std::chrono::microseconds(options.fps ? 1000000 / options.fps : 0);
    long shown = 0;
    bool quit = false;
    const bool interactive = isatty(fileno(stdout));
    const int scenes = static_cast<int>(sizeof tour / sizeof tour[0]);
    bool enough = false;
    for (int s = 0; s < scenes && !quit && !enough; ++s) {
        for (int f = 0; f < tour[s].frames && !quit; ++f) {
            if (options.frames >= 0 && shown >= options.frames) {
                enough = true;
                break;
            }
            const auto start = std::chrono::steady_clock::now();
            tour[s].draw(f, assets);
            if (s == 0 && f == 0)
                ZelVideo::FadeIn(options.fps ? 500 : 0, palette, nullptr);
            if (f == tour[s].frames / 2 && s == scenes - 1)
                ZelVideo::Shake(12);
            refresh();
            ++shown;
            progress(s, scenes, f, interactive);
            quit = userQuits();
            std::this_thread::sleep_until(start + frameTime);
        }
    }
    if (!quit && !enough)
        ZelVideo::FadeOut(options.fps ? 500 : 0, palette, nullptr);
    std::printf("%szeldemo: %ld frames shown%s\n", interactive ? "\n" : "", shown, quit ? ", stopped by the user" : "");
    palette.release();
    assets.release();
    ZelVideo::deinit();
    return 0;
}
