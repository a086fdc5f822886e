#include "x11_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace zeltest {

Box boxOf(const std::vector<Rgb>& shot, int width, Rgb colour)
{
    Box b;
    for (size_t i = 0; i < shot.size(); ++i) {
        if (!(shot[i] == colour))
            continue;
        const int x = static_cast<int>(i % static_cast<size_t>(width)), y = static_cast<int>(i / static_cast<size_t>(width));
        b.left = std::min(b.left, x);
        b.right = std::max(b.right, x);
        b.top = std::min(b.top, y);
        b.bottom = std::max(b.bottom, y);
    }
    return b;
}

bool VirtualDisplay::start()
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        pid_ = 0;
        close(fds[0]);
        return false;
    }
    // The server writes its display number once it accepts connections.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        return false;
    name_ = ":" + number;
    return true;
}

VirtualDisplay::~VirtualDisplay()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool XConnection::open()
{
    display_ = XOpenDisplay(nullptr);
    return display_ != nullptr;
}

XConnection::~XConnection()
{
    if (display_)
        XCloseDisplay(static_cast<Display*>(display_));
}

std::vector<Rgb> XConnection::screenshot(int& width, int& height)
{
    Display* x = static_cast<Display*>(display_);
    std::vector<Rgb> out;
    XSync(x, False);
    const Window root = DefaultRootWindow(x);
    XWindowAttributes a;
    XGetWindowAttributes(x, root, &a);
    width = a.width;
    height = a.height;
    XImage* image = XGetImage(x, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return out;
    out.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int px = 0; px < width; ++px) {
            const unsigned long p = XGetPixel(image, px, y);
            out.push_back({static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                           static_cast<unsigned char>(p)});
        }
    XDestroyImage(image);
    return out;
}

namespace {

Window findTitled(Display* x, Window under, const char* title)
{
    char* name = nullptr;
    if (XFetchName(x, under, &name) && name) {
        const bool found = std::string(name) == title;
        XFree(name);
        if (found)
            return under;
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window hit = 0;
    if (XQueryTree(x, under, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !hit; ++i)
            hit = findTitled(x, children[i], title);
        if (children)
            XFree(children);
    }
    return hit;
}

}  // namespace

bool XConnection::askToClose(const char* title)
{
    Display* x = static_cast<Display*>(display_);
    const Window window = findTitled(x, DefaultRootWindow(x), title);
    if (!window)
        return false;
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window, False, NoEventMask, &close);
    XSync(x, False);
    return true;
}

}  // namespace zeltest
