// Random calls of every drawing call of the library on the Screen, with
// arguments inside each call's contract: the clip region, origins,
// positions, sizes, zoom steps, scales, angles, polygons and prepared spans.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "draw/poly.h"
#include "draw/smart_line.h"
#include "guarded_screen.h"
#include "test_support.h"

namespace zeltest {

class RandomDrawing {
public:
    // Loads a font, fills shade tables and makes the bitmaps the calls draw.
    RandomDrawing(uint32_t seed, const GuardedScreen& screen);
    ~RandomDrawing();
    RandomDrawing(const RandomDrawing&) = delete;
    RandomDrawing& operator=(const RandomDrawing&) = delete;

    // Puts a new rectangle and origin into the Screen's top region, at times
    // over a new random picture, and moves the bitmaps' origin points;
    // returns a description of the region.
    std::string newRegion();
    // Makes one call picked at random and returns it with its arguments and
    // whatever it answered (a pixel, a measure, a position...).
    std::string call();
    // What the last call got wrong beyond the pixels it wrote, or empty.
    const std::string& problem() const { return problem_; }
    // Takes the last call back where it can be (an XOR figure drawn again, a
    // smart line erased): the screen must then be as it was before the call.
    bool undo();
    // Blocks held between calls: the capture bitmap and the smart line buffer.
    size_t heldBlocks() const;

private:
    // The arguments of one call as drawn, and their text.
    struct Args {
        int64_t v[12] = {};
        int n = 0;
        int32_t rows = -1;  // of the aggregate piece, when one was drawn
        const TestBitmap* bitmap = nullptr;
        std::string text, shown, answer;
        bool skip = false;  // no point inside the contract was found
        int32_t operator[](int i) const { return static_cast<int32_t>(v[i]); }
        void show(const std::string& s) { shown += (shown.empty() ? "" : ", ") + s; }
        void add(int64_t value) { show(std::to_string(value)), v[n++] = value; }
    };
    struct Call {
        const char* name;
        const char* kinds;  // one letter an argument, see arg()
        std::function<void(Args&)> run;
        bool repeatUndoes = false;
    };

    // Random numbers; pick() draws from the first of {percent up to, lo, hi}
    // whose percent a roll of 0-99 stays below.
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(rng_() % n); }
    int32_t between(int64_t lo, int64_t hi) { return static_cast<int32_t>(pick({{100, lo, hi}})); }
    bool chance(int percent) { return below(100) < static_cast<uint32_t>(percent); }
    int64_t pick(std::initializer_list<std::array<int64_t, 3>> ranges);
    // Drawing coordinates on one axis: near the region as its origin puts
    // it; near it or far from it; or anything, the ends of the int range
    // included.
    enum Axis { X, Y };
    int32_t near(Axis axis);
    int32_t blitCoord(Axis axis);
    int32_t anyCoord(Axis axis);
    int32_t shade() { return chance(90) ? between(-63, 64) : between(-128, 127); }
    // Draws one argument of the given kind into a.
    void arg(char kind, Args& a);
    // Text in quotes, bytes outside printable ASCII as \ and their number.
    static std::string quoted(const std::string& text);
    std::vector<std::vector<Call>> calls();

    // The region as drawing sees it: cut to the Screen's pixels.
    ZelClipRgn region() const { return screen_.setup().region().cutTo(width_, height_); }
    bool regionEmpty() const { return region().right <= region().left || region().bottom <= region().top; }
    // A drawing point where a zoomed bitmap mostly keeps every product of a
    // cut distance and the step within 32 bits, at times any point; false
    // when none was found.
    bool zoomPoint(const Bitmap& b, int32_t height, uint32_t zoom, int32_t& x, int32_t& y);
    // A convex polygon, not flat, of points from point().
    std::vector<ZelVector2> polygon(const std::function<ZelVector2()>& point);

    // The calls that need more than drawn arguments.
    void polygons(Args& a, void (*fill)(Poly*), bool clockwise);
    void directFill(Args& a, int which);
    void capture(Args& a);
    void texturedFill(Args& a, bool side);
    void measure(Args& a, const char* (*count)(const char*, int&, int));

    const GuardedScreen& screen_;
    const int width_, height_;
    std::mt19937 rng_;
    std::string problem_;
    std::function<void()> undo_;

    std::vector<std::unique_ptr<TestBitmap>> sprites_;   // any size and origin, some with row spans
    std::vector<std::unique_ptr<TestBitmap>> masks_;     // shade values, origin 0 or more
    std::vector<std::unique_ptr<TestBitmap>> textures_;  // power-of-two sizes; the first is 64 x 64
    std::vector<unsigned char> dark_, light_;
    HClass<Bitmap> captured_;
    ZelSmartLine line_{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
    const std::string glyphCodes_ = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,!";
    Restore saved_;
    const std::vector<std::vector<Call>> calls_;
};

}  // namespace zeltest
