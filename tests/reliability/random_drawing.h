// Random calls of every drawing family of the library on the Screen, with
// arguments inside each family's contract: the clip region, origins,
// positions, sizes, zoom steps, scales, angles, polygons and prepared spans.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

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
    // Makes one call of a family picked at random and returns what it was.
    std::string call();
    // What the last call got wrong beyond drawing outside the region or the
    // screen (an XOR figure that did not undo itself, a capture that does not
    // match the screen...), or empty.
    const std::string& problem() const { return problem_; }
    // Takes the last call back where it can be (an XOR figure drawn again, a
    // smart line erased): the screen must then be as it was before the call.
    bool undo();
    // Blocks held between calls: the capture bitmap and the smart line buffer.
    size_t heldBlocks() const;
    // Calls given up because no position inside the contract was found.
    unsigned long skipped() const { return skipped_; }

private:
    using Family = std::string (RandomDrawing::*)();

    // Random numbers.
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(rng_() % n); }
    int32_t between(int64_t lo, int64_t hi);
    bool chance(int percent) { return below(100) < static_cast<uint32_t>(percent); }
    // Drawing coordinates on one axis: near the region as its origin puts
    // it; near it or far from it; or anything, the ends of the int range
    // included.
    enum Axis { X, Y };
    int32_t near(Axis axis);
    int32_t blitCoord(Axis axis);
    int32_t anyCoord(Axis axis);
    // A length or size: mostly small, at times 0, negative or huge.
    int32_t anySize();
    unsigned char colour() { return static_cast<unsigned char>(rng_()); }
    // A shade value: mostly a level of the tables, at times one past them.
    signed char shade() { return static_cast<signed char>(chance(90) ? between(-63, 64) : between(-128, 127)); }
    // An aggregate piece of b: whole rows at a byte offset, at times reaching
    // past the pixels or starting outside them.
    std::pair<int32_t, int32_t> piece(const Bitmap& b);
    uint32_t zoomStep();

    // The region as drawing sees it: cut to the Screen's pixels.
    ZelClipRgn region() const { return screen_.setup().region().cutTo(width_, height_); }
    bool regionEmpty() const { return region().right <= region().left || region().bottom <= region().top; }
    // A drawing point where a zoomed bitmap mostly keeps every product of a
    // cut distance and the step within 32 bits, at times any point; false
    // when none was found.
    bool zoomPoint(const Bitmap& b, int32_t height, uint32_t zoom, int32_t& x, int32_t& y);
    const TestBitmap& pick(const std::vector<std::unique_ptr<TestBitmap>>& pool);
    std::string text();

    // The families.
    std::string pixels();
    std::string runs();
    std::string lines();
    std::string bars();
    std::string boxes();
    std::string xorFigures();
    std::string smartLine();
    std::string polygons();
    std::string directFills();
    std::string imageBlits();
    std::string capture();
    std::string memberBlits();
    std::string zoomBlits();
    std::string scaleBlits();
    std::string rotation();
    std::string texturedFills();
    std::string shadedBlits();
    std::string textOutput();

    const GuardedScreen& screen_;
    const int width_;
    const int height_;
    std::mt19937 rng_;
    std::string problem_;
    std::function<void()> undo_;
    unsigned long skipped_ = 0;

    std::vector<std::unique_ptr<TestBitmap>> sprites_;   // any size and origin, some with row spans
    std::vector<std::unique_ptr<TestBitmap>> masks_;     // shade values, origin 0 or more
    std::vector<std::unique_ptr<TestBitmap>> textures_;  // power-of-two sizes; the first is 64 x 64
    std::vector<unsigned char> dark_;
    std::vector<unsigned char> light_;
    HClass<Bitmap> captured_;
    ZelSmartLine line_{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
    std::string glyphCodes_;
    Restore saved_;
};

}  // namespace zeltest
