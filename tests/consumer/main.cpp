// Starts video on the installed headless driver with the installed standard
// data, draws, reads the pixels back and shuts down; checks the version and
// the error text of a driver that does not exist.
#include <cstdio>
#include <cstring>

#include <zelgfx.h>

#include <draw/draw.h>  // the program's own, found before any library header

int main()
{
    int failures = 0;
    auto check = [&](bool ok, const char* what) {
        if (!ok) {
            std::printf("consumer: %s\n", what);
            ++failures;
        }
    };
    check(programDrawHeader() == 7, "the program's draw/draw.h was hidden");
    check(std::strcmp(ZELGFX_VERSION_STRING, EXPECTED_VERSION) == 0, "version header and package disagree");

    check(!ZelVideo::init("nosuchdriver", nullptr, nullptr), "a missing driver started");
    check(std::strstr(zelGetError(), "nosuchdriver.drv") != nullptr, "no error text for a missing driver");
    deinitGraphics();

    if (!ZelVideo::init("headless", nullptr, nullptr)) {
        std::printf("\nconsumer: video did not start: %s\n", zelGetError());
        return 1;
    }
    clrScreen(0);
    putPixel(3, 4, 42);
    putBar(10, 10, 5, 5, 9);
    refresh();
    check(scrWidth == 320 && scrHeight == 200, "not the headless driver's default size");
    check(videoMemory[4 * scrWidth + 3] == 42 && getPixel(3, 4) == 42, "wrong pixel");
    check(getPixel(14, 14) == 9 && getPixel(15, 15) == 0, "wrong bar");
    check(iSin(ZelAngleQuarterTurn) == 1 << 20, "wrong sine");
    ZelVideo::deinit();
    std::printf("consumer: %s, zelgfx %s\n", failures ? "FAILED" : "ok", ZELGFX_VERSION_STRING);
    return failures ? 1 : 0;
}
