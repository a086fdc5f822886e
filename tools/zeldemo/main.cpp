// zeldemo: a scripted tour through every family of zelgfx, drawn with the
// library's own calls and assets the demo makes itself.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

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
                 "usage: zeldemo [--driver NAME] [--frames N] [--fps N] [--frames-dir DIR]\n"
                 "A tour through zelgfx: boxes and text, lines, polygons, sprites, shading,\n"
                 "a textured corridor, fades and a shake.\n\n"
                 "  --driver NAME  graphics driver (default: the configured \"graphics\" value,\n"
                 "                 mcga.drv; headless.drv needs no display)\n"
                 "  --frames N     stop after N frames (default: the whole tour)\n"
                 "  --fps N        frames per second, 0 for as fast as possible (default 30)\n"
                 "  --frames-dir DIR  headless.drv writes the frames into DIR (made when\n"
                 "                 missing) as PNG files; the configured \"headless_dir\"\n"
                 "                 value, ZEL_headless_dir, does the same\n"
                 "  --version      the version of zelgfx\n"
                 "  --help         this text\n\n"
                 "Esc or closing the window quits. Without a display, use --driver headless.\n"
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

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (int code = parse(argc, argv, options); code >= 0)
        return code;
    options.tour.interactive = isatty(fileno(stdout));

    if (!ZelVideo::init(options.driver, nullptr, nullptr)) {
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
    const zeldemo::TourResult result = zeldemo::runTour(assets, options.tour);
    std::printf("%szeldemo: %ld frames shown%s\n", options.tour.interactive ? "\n" : "", result.shown,
                result.userQuit ? ", stopped by the user" : "");
    assets.release();
    ZelVideo::deinit();
    return 0;
}
