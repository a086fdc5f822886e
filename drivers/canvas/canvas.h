// canvas.drv: the screen in a web page's <canvas>, for programs built with
// Emscripten. It is built into the program (a browser loads no module
// files): addCanvasDriver() puts it in the table of built-in modules, after
// which ZelVideo::init("canvas", ...) finds and links it as any driver.
#pragma once

namespace zelcanvas {

// What winEvent answers: one key press per call, oldest first, then 0. The
// page cannot be closed from inside, so 1 (closed) never comes.
enum WinEvent : signed char {
    NoEvent = 0,
    Escape = 2,
    Space = 3,
    Left = 4,
    Right = 5,
    Up = 6,
    Down = 7,
};

// Adds canvas.drv to the built-in modules; false when it cannot be added
// (zelGetError() says why), which a second call also answers.
bool addCanvasDriver();

}  // namespace zelcanvas
