// Just enough X11 for the window driver's tests, kept out of their sources
// (Xlib's macros clash with ordinary names): a private Xvfb, screenshots of
// the whole screen, and asking a window to close as a window manager would.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace zeltest {

struct Rgb {
    unsigned char r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

// The smallest box holding every pixel of the colour; right < 0 when none.
Box boxOf(const std::vector<Rgb>& shot, int width, Rgb colour);

// An Xvfb of its own, the display number chosen by the server.
class VirtualDisplay {
public:
    bool start();
    ~VirtualDisplay();
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = 0;
    std::string name_;
};

class XConnection {
public:
    bool open();  // the display named by DISPLAY
    ~XConnection();
    std::vector<Rgb> screenshot(int& width, int& height);
    // Sends WM_DELETE_WINDOW to the window with this title; false when none.
    bool askToClose(const char* title);

private:
    void* display_ = nullptr;
};

}  // namespace zeltest
