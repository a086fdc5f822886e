// zeldemo: a scripted tour through every family of zelgfx, drawn with the
// library's own calls and assets the demo makes itself. Built with
// Emscripten it runs in a web page on the built-in canvas driver, a frame
// each time the browser asks for one.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <unistd.h>

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>

#include "drivers/canvas/canvas.h"
#endif

#include "engine/zelmem/zelmem.h"
#include "tools/zeldemo/demo.h"
#include "video/last_error.h"
#include "video/video.h"
#include "zelgfx/version.h"

namespace {

struct Options {
    const char* driver = nullptr;  // the configured one ("mcga.drv" by default)
    zeldemo::TourOptions tour;
};

void usage(FILE* to)
{
    std::fprintf(to,
                 "usage: zeldemo [--driver NAME] [--frames N] [--fps N] [--frames-dir DIR] [--loop]\n"
                 "A tour through zelgfx: boxes and text, lines, polygons, sprites, shading,\n"
                 "a textured corridor, fades and a shake.\n\n"
                 "  --driver NAME  graphics driver (default: the configured \"graphics\" value,\n"
                 "                 mcga.drv; headless.drv needs no display; in a web page\n"
                 "                 canvas.drv, built in)\n"
                 "  --frames N     stop after N frames (default: the whole tour)\n"
                 "  --fps N        frames per second, 0 for as fast as possible (default 30)\n"
                 "  --frames-dir DIR  headless.drv writes the frames into DIR (made when\n"
                 "                 missing) as PNG files; the configured \"headless_dir\"\n"
                 "                 value, ZEL_headless_dir, does the same\n"
                 "  --loop         start again after the last scene\n"
                 "  --scenes       list the scenes and their frames, then stop\n"
                 "  --version      the version of zelgfx\n"
                 "  --help         this text\n\n"
                 "Keys: Esc or closing the window quits; where the driver passes them on,\n"
                 "space pauses, left and up go back a scene, right and down go on to the next.\n"
                 "Without a display, use --driver headless.\n"
                 "Exit code 0; 1 when video cannot start; 2 for wrong arguments.\n");
}

bool wholeNumber(const char* text, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return *text && !*end && value >= 0;
}

// Parses the arguments; returns -1 to run, otherwise the exit code.
int parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        long value = 0;
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("zeldemo (zelgfx) %s\n", ZELGFX_VERSION_STRING);
            return 0;
        }
        if (arg == "--scenes") {
            for (int s = 0; s < zeldemo::tourSceneCount; ++s)
                std::printf("%s %d\n", zeldemo::tourScenes[s].name, zeldemo::tourScenes[s].frames);
            return 0;
        }
        if (arg == "--loop") {
            o.tour.loop = true;
            continue;
        }
        if (i + 1 >= argc ||
            (arg != "--driver" && arg != "--frames" && arg != "--fps" && arg != "--frames-dir")) {
            std::fprintf(stderr, "zeldemo: unknown argument or missing value: '%s' (try --help)\n", arg.c_str());
            return 2;
        }
        const char* given = argv[++i];
        if (arg == "--driver") {
            o.driver = given;
        } else if (arg == "--frames-dir") {
            std::error_code error;
            std::filesystem::create_directories(given, error);
            if (error) {
                std::fprintf(stderr, "zeldemo: cannot make the directory %s: %s\n", given, error.message().c_str());
                return 2;
            }
            ZelSystem::SetRegistryString("headless_dir", given);
        } else if (!wholeNumber(given, value)) {
            std::fprintf(stderr, "zeldemo: %s needs a whole number of 0 or more, not '%s'\n", arg.c_str(), given);
            return 2;
        } else if (arg == "--frames") {
            o.tour.frames = value;
        } else {
            o.tour.fps = static_cast<int>(value < 1000 ? value : 1000);
        }
    }
    return -1;
}

// Starts video. The screen the library clears and shows while it starts is
// no frame of the tour, so the headless driver writes its frames only from
// the tour's first on (its numbers still count that one).
bool startVideo(const char* driver)
{
    char frames[ZelSystem::FoundPathSize];
    ZelSystem::GetRegistryString("headless_dir", "", frames, sizeof frames);
    if (frames[0])
        ZelSystem::SetRegistryString("headless_dir", "");
    const bool started = ZelVideo::init(driver, nullptr, nullptr);
    if (frames[0])
        ZelSystem::SetRegistryString("headless_dir", frames);
    return started;
}

// What is left after the tour: the last line, the sprites, the video.
void finish(const Options& options, const zeldemo::TourResult& result, zeldemo::Assets& assets)
{
    std::printf("%szeldemo: %ld frames shown%s\n", options.tour.interactive ? "\n" : "", result.shown,
                result.userQuit ? ", stopped by the user" : "");
    std::fflush(stdout);
    assets.release();
    ZelVideo::deinit();
}

#ifdef __EMSCRIPTEN__
// The browser calls for every frame; the page learns when the tour is over
// through Module.zeldemoFinished, when it has one.
struct WebRun {
    Options options;
    zeldemo::Assets assets;
    std::unique_ptr<zeldemo::Tour> tour;
};

EM_JS(void, tellPageFinished, (long shown), {
    if (Module['zeldemoFinished'])
        Module['zeldemoFinished'](shown);
});

void webFrame(void* context)
{
    auto* run = static_cast<WebRun*>(context);
    if (run->tour->step())
        return;
    emscripten_cancel_main_loop();
    const zeldemo::TourResult result = run->tour->result();
    run->tour.reset();
    finish(run->options, result, run->assets);
    tellPageFinished(result.shown);
    delete run;
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (int code = parse(argc, argv, options); code >= 0)
        return code;
#ifdef __EMSCRIPTEN__
    // The page's console takes whole lines only, and the page shows nothing
    // while a fade waits.
    options.tour.timedFades = false;
    char configured[ZelSystem::FoundPathSize];
    ZelSystem::GetRegistryString("graphics", "", configured, sizeof configured);
    if (!zelcanvas::addCanvasDriver())
        std::fprintf(stderr, "zeldemo: the canvas driver is not built in: %s\n", zelGetError());
    if (!options.driver && !configured[0])
        options.driver = "canvas";
#else
    options.tour.interactive = isatty(fileno(stdout));
#endif

    if (!startVideo(options.driver)) {
        std::fflush(stdout);  // the library's own message, which may lack its line end
        std::fprintf(stderr, "\nzeldemo: video could not start with the driver %s: %s\n",
                     options.driver ? options.driver : "configured as \"graphics\" (mcga.drv)", zelGetError());
        ZelVideo::deinit();
        deinitGraphics();
        return 1;
    }
    zeldemo::Assets assets;
    if (!assets.make()) {
        std::fprintf(stderr, "zeldemo: out of memory for the demo's sprites\n");
        assets.release();
        ZelVideo::deinit();
        return 1;
    }
#ifdef __EMSCRIPTEN__
    // The first frame is drawn at once, so that the page never shows the
    // screen cleared while video started; the browser calls for the others
    // (with --fps 0 as fast as it can). The run owns the sprites from here.
    auto* run = new WebRun{options, assets, nullptr};
    run->tour = std::make_unique<zeldemo::Tour>(run->assets, run->options.tour);
    emscripten_set_main_loop_arg(webFrame, run, options.tour.fps, 0);
    if (options.tour.fps == 0)
        emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 0);
    webFrame(run);
    return 0;
#else
    const zeldemo::TourResult result = zeldemo::runTour(assets, options.tour);
    finish(options, result, assets);
    return 0;
#endif
}
