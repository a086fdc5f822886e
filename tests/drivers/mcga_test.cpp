// The window driver. On a private X display (Xvfb) a screenshot shows the
// picture at the window's scale and colours, and closing the window is
// reported by winEvent. Without a display it refuses to start, saying so and
// naming the headless driver, unless an SDL video driver was chosen by name.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "driver_fixture.h"
#include "video/driver.h"
#include "video/last_error.h"
#include "video/palette.h"
#include "video/screen.h"
#include "test_support.h"

// Last: Xlib's macros clash with ordinary names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace {

const char* const DisplayVariables[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};

struct McgaTest : zeltest::DriverTest {
    // SDL and the display stack keep allocations they never free (each test
    // is a process of its own); the library's blocks are still counted by the
    // fixture. Only what a test sets decides where the window goes.
    void SetUp() override
    {
        zeltest::ignoreLeaksFromHere();
        DriverTest::SetUp();
        writeSystemFiles();
        for (const char* name : DisplayVariables) {
            saved.push_back(std::getenv(name) ? std::getenv(name) : "");
            unsetenv(name);
        }
    }
    void TearDown() override
    {
        ZelVideo::deinit();
        for (size_t i = 0; i < saved.size(); ++i)
            saved[i].empty() ? unsetenv(DisplayVariables[i]) : setenv(DisplayVariables[i], saved[i].c_str(), 1);
        if (xvfb > 0 && kill(xvfb, SIGTERM) == 0)
            waitpid(xvfb, nullptr, 0);  // after deinit: the window is closed
        DriverTest::TearDown();
    }

    // A private Xvfb; it writes its display number once it takes connections.
    bool startXvfb()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp", nullptr};
        const bool spawned = posix_spawnp(&xvfb, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) == 0;
        close(fds[1]);
        std::string number;
        for (char c; spawned && read(fds[0], &c, 1) == 1 && c != '\n';)
            number += c;
        close(fds[0]);
        return !number.empty() && setenv("DISPLAY", (":" + number).c_str(), 1) == 0;
    }

    // Starts video on a 32 x 20 window scaled by 3; answers what was printed.
    std::string startWindow()
    {
        ZelSystem::SetRegistryString("mcga_width", "32");
        ZelSystem::SetRegistryString("mcga_height", "20");
        ZelSystem::SetRegistryString("mcga_scale", "3");
        testing::internal::CaptureStdout();
        started = ZelVideo::init("mcga", "test.pal", "test.fnt");
        for (const char* key : {"mcga_width", "mcga_height", "mcga_scale"})
            ZelSystem::SetRegistryString(key, nullptr);
        return testing::internal::GetCapturedStdout();
    }

    std::vector<std::string> saved;
    pid_t xvfb = 0;
    signed char started = 0;
};

// Left, top, width and height of the pixels of the colour (0xRRGGBB) on the
// X screen, refreshing until there are some, for a few seconds at most.
std::vector<int> boxOf(Display* x, unsigned long rgb)
{
    XWindowAttributes root;
    XGetWindowAttributes(x, DefaultRootWindow(x), &root);
    std::vector<int> box{root.width, root.height, -1, -1};  // left, top, right, bottom
    for (int attempt = 0; attempt < 60 && box[2] < 0; ++attempt) {
        refresh();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        XSync(x, False);
        XImage* image = XGetImage(x, DefaultRootWindow(x), 0, 0, root.width, root.height, AllPlanes, ZPixmap);
        for (int y = 0; image && y < root.height; ++y)
            for (int px = 0; px < root.width; ++px)
                if ((XGetPixel(image, px, y) & 0xffffff) == rgb)
                    box = {std::min(box[0], px), std::min(box[1], y), std::max(box[2], px), std::max(box[3], y)};
        if (image)
            XDestroyImage(image);
    }
    return {box[0], box[1], box[2] - box[0] + 1, box[3] - box[1] + 1};
}

TEST_F(McgaTest, ShowsThePictureScaledInItsColoursAndReportsClosing)
{
    if (!startXvfb())
        GTEST_SKIP() << "no Xvfb to start";
    std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    Display* x = display.get();
    ASSERT_NE(x, nullptr) << "cannot open the Xvfb display";
    const std::string said = startWindow();
    ASSERT_EQ(started, -1) << said << zelGetError();
    unsigned char colours[6] = {63, 0, 63, 63, 63, 0};  // 5 pink, 6 yellow
    setPalette(5, 2, colours);
    clrScreen(5);
    putBar(10, 5, 4, 4, 6);
    const std::vector<int> window = boxOf(x, 0xff00ff), bar = boxOf(x, 0xffff00);
    EXPECT_EQ(window, std::vector<int>({window[0], window[1], 32 * 3, 20 * 3}));
    EXPECT_EQ(bar, std::vector<int>({window[0] + 10 * 3, window[1] + 5 * 3, 4 * 3, 4 * 3}));

    // Closing as a window manager asks it: WM_DELETE_WINDOW to the window.
    EXPECT_EQ(ZelVideoWinEvent(0, 0, 0, 0), 0);
    Window root, parent, *children = nullptr;
    unsigned count = 0;  // top-level windows
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    ASSERT_EQ(count, 1u) << "one top-level window, the driver's";
    XEvent close{};
    close.xclient = {ClientMessage, 0, True, x, children[0], XInternAtom(x, "WM_PROTOCOLS", False), 32, {}};
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    XSendEvent(x, children[0], False, NoEventMask, &close);
    XSync(x, False);
    XFree(children);
    signed char answer = 0;
    for (int attempt = 0; attempt < 100 && answer == 0; ++attempt) {
        answer = ZelVideoWinEvent(0, 0, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(answer, 1);
}

TEST_F(McgaTest, WithoutADisplayRefusesAndNamesTheHeadlessDriver)
{
    for (const char* display : {"", ":9876"}) {  // none, and one nobody answers at
        if (*display)
            setenv("DISPLAY", display, 1);
        EXPECT_EQ(startWindow(), "Unable to initialize the correct video mode.") << display;
        EXPECT_EQ(started, 0) << display;
        EXPECT_TRUE(std::string(zelGetError()).starts_with("mcga.drv: no display")) << zelGetError();
        EXPECT_NE(std::string(zelGetError()).find("ZEL_graphics=headless.drv"), std::string::npos) << zelGetError();
        deinitGraphics();
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 1);  // a target nobody sees, chosen by name
    startWindow();
    EXPECT_EQ(started, -1) << zelGetError();
}

}  // namespace
